// Open, Save and Save As of the main window.
#include "mainwindow.h"

#include "designfile.h"
#include "panels.h"
#include "platform.h"
#include "statusbar.h"
#include "texts.h"

#include <QFileInfo>

namespace velmorant {

namespace {

const QString OpenFilters = QStringLiteral("File Velmorant (*.vlr)|*.vlr|All Files (*.*)|*.*");
const QString SaveFilters = QStringLiteral("File Velmorant (*.vlr)|*.vlr");

} // namespace

void MainWindow::showFileTitle(const QString &path)
{
    m_lastChosenFile = path;
    m_status->setPanelText(2, texts::fileTitle(QFileInfo(path).fileName()));
    // The file commands write the panel only; the next Calculate classifies again.
    m_status->setPanelText(3, texts::sourceFile());
}

void MainWindow::openFile()
{
    const QString path = m_platform.openFileName(this, QStringLiteral("Apri"), OpenFilters);
    if (path.isEmpty())
        return;
    // Everything is read before anything changes, so a refused file changes nothing.
    const DesignFileRead read = readDesignFile(path);
    if (!read.ok()) {
        message(read.error, MessageIcon::Critical);
        return;
    }
    m_state.fileSet = read.values;
    m_input->setTexts(fileSetTexts(read.values, m_locale));
    showFileTitle(path);
}

bool MainWindow::writeDesign(const QString &path)
{
    if (const std::optional<QString> error = writeDesignFile(path, m_state.currentParameters)) {
        message(*error, MessageIcon::Critical);
        return false;
    }
    return true;
}

void MainWindow::saveFileAs()
{
    const QString path =
        m_platform.saveFileName(this, QStringLiteral("Salva con nome"), SaveFilters);
    if (path.isEmpty() || !writeDesign(path))
        return;
    m_saveFile = path;
    showFileTitle(path);
}

void MainWindow::saveFile()
{
    if (m_saveFile.isEmpty()) {
        saveFileAs();
        return;
    }
    if (writeDesign(m_saveFile))
        showFileTitle(m_lastChosenFile);
}

} // namespace velmorant
