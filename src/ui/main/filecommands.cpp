// Open, Save and Save As of the main window.
#include "mainwindow.h"

#include "designfile.h"
#include "platform.h"

namespace velmorant {

namespace {

QString openFilters()
{
    return MainWindow::tr("File Velmorant (*.vlr)|*.vlr|All Files (*.*)|*.*");
}
QString saveFilters()
{
    return MainWindow::tr("File Velmorant (*.vlr)|*.vlr");
}

} // namespace

void MainWindow::openFile()
{
    const QString path = m_platform.openFileName(this, tr("Apri"), openFilters());
    if (path.isEmpty())
        return;
    // Everything is read before anything changes, so a refused file changes nothing.
    const DesignFileRead read = readDesignFile(path);
    present(read.ok() ? m_calculator.opened(path, read.values, m_locale)
                      : Calculator::fileFailed(read.error));
}

void MainWindow::save(const QString &path, bool chosen)
{
    const std::optional<QString> error = writeDesignFile(path, m_calculator.parametersToSave());
    present(error ? Calculator::fileFailed(*error) : m_calculator.saved(path, chosen));
}

void MainWindow::saveFileAs()
{
    const QString path = m_platform.saveFileName(this, tr("Salva con nome"), saveFilters());
    if (!path.isEmpty())
        save(path, true);
}

void MainWindow::saveFile()
{
    if (m_calculator.saveTarget().isEmpty())
        saveFileAs();
    else
        save(m_calculator.saveTarget(), false);
}

} // namespace velmorant
