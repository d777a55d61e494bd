// Menus and toolbar of the main window: one action per command, shared by both.
#include "mainwindow.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace velmorant {

namespace {

QAction *makeAction(QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

void MainWindow::createActions()
{
    m_open = makeAction(this, "mnuFileOpen", tr("Apri"));
    m_save = makeAction(this, "mnuFileSave", tr("Salva"));
    m_saveAs = makeAction(this, "mnuFileSaveAs", tr("Salva con nome..."));
    m_print = makeAction(this, "mnuFilePrint", tr("Stampa"));
    m_exit = makeAction(this, "mnuFileExit", tr("Esci"));
    m_viewToolbar = makeAction(this, "mnuViewToolbar", tr("Barra degli Strumenti"));
    m_viewStatusBar = makeAction(this, "mnuViewStatusBar", tr("Barra di Stato"));
    m_calculate = makeAction(this, "mnuToolsCalculate", tr("Calcola"));
    m_reset = makeAction(this, "mnuToolsReset", tr("Default Input"));
    m_clear = makeAction(this, "mnuToolsClear", tr("Clear"));
    m_about = makeAction(this, "mnuHelpAbout", tr("Informazioni"));

    for (QAction *toggle : {m_viewToolbar, m_viewStatusBar}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    connect(m_open, &QAction::triggered, this, &MainWindow::openFile);
    connect(m_save, &QAction::triggered, this, &MainWindow::saveFile);
    connect(m_saveAs, &QAction::triggered, this, &MainWindow::saveFileAs);
    connect(m_print, &QAction::triggered, this, &MainWindow::print);
    connect(m_exit, &QAction::triggered, this, [this] { close(); });
    connect(m_viewToolbar, &QAction::triggered, this, &MainWindow::toggleToolbar);
    connect(m_viewStatusBar, &QAction::triggered, this, &MainWindow::toggleStatusBar);
    connect(m_calculate, &QAction::triggered, this, &MainWindow::calculate);
    connect(m_reset, &QAction::triggered, this, &MainWindow::resetDefaults);
    connect(m_clear, &QAction::triggered, this, &MainWindow::clear);
    connect(m_about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setNativeMenuBar(false);

    auto addMenu = [bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu *file = addMenu("mnuFile", tr("File"));
    file->addAction(m_open);
    addSeparator(file, "mnuFileBar0");
    file->addAction(m_save);
    file->addAction(m_saveAs);
    addSeparator(file, "mnuFileBar1");
    file->addAction(m_print);
    addSeparator(file, "mnuFileBar3");
    file->addAction(m_exit);

    QMenu *view = addMenu("mnuView", tr("Visualizza"));
    view->addAction(m_viewToolbar);
    view->addAction(m_viewStatusBar);

    QMenu *tools = addMenu("mnuTools", tr("Azioni"));
    tools->addAction(m_calculate);
    tools->addAction(m_reset);
    tools->addAction(m_clear);

    QMenu *help = addMenu("mnuHelp", tr("Aiuto"));
    help->addAction(m_about);
}

void MainWindow::createToolbar()
{
    // A placeholder of negligible width comes first on the strip.
    auto *placeholder = new QWidget(m_toolbar);
    placeholder->setObjectName(QStringLiteral("tbPlaceholder"));
    placeholder->setFixedWidth(1);
    m_toolbar->addWidget(placeholder);

    struct Key
    {
        QAction *action;
        const char *key;
        const char *tip;
        bool separatorAfter;
    };
    const Key keys[] = {{m_open, "Open", QT_TR_NOOP("Apri"), false},
                        {m_save, "Save", QT_TR_NOOP("Salva"), true},
                        {m_print, "Print", QT_TR_NOOP("Stampa"), true},
                        {m_about, "Help", QT_TR_NOOP("Aiuto"), true}};
    for (const Key &k : keys) {
        m_toolbar->addAction(k.action);
        QWidget *button = m_toolbar->widgetForAction(k.action);
        button->setObjectName(QString::fromLatin1(k.key));
        button->setToolTip(tr(k.tip));
        if (auto *tool = qobject_cast<QToolButton *>(button)) {
            tool->setIcon(QIcon(
                QStringLiteral(":/toolbar/%1.png").arg(QString::fromLatin1(k.key).toLower())));
            tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
            tool->setFixedSize(18, 18);
        }
        if (k.separatorAfter)
            m_toolbar->addSeparator();
    }
}

} // namespace velmorant
