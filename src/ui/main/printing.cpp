// Printing the main window as it is on screen.
#include "mainwindow.h"

#include "platform.h"

#include <QPainter>
#include <QPrinter>

namespace velmorant {

void MainWindow::print()
{
    // One printer for the whole run, like the window's printer dialog component: the dialog
    // opens on the printer and settings chosen last time.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter &printer = *m_printer;
    if (!m_platform.choosePrinter(this, printer))
        return;
    // The copies are printed one page each here, not multiplied again by the driver.
    const int copies = printer.copyCount();
    printer.setCopyCount(1);
    if (copies < 1)
        return;

    const QPixmap image = clientArea()->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return; // no printer, or it refused: nothing to report, as on screen
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    const QRect target(page.topLeft(), size);
    for (int i = 0; i < copies; ++i) {
        if (i > 0 && !printer.newPage())
            break;
        painter.drawPixmap(target, image);
    }
    painter.end();
}

} // namespace velmorant
