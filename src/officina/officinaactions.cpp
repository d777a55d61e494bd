// The workshop window's commands: one action each, shared by the menus and the toolbar.
#include "officinawindow.h"

#include "platform.h"
#include "wavestab.h"
#include "zoomview.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>

namespace velmorant {

void OfficinaWindow::buildActions()
{
    auto make = [this](const char *name, const QString &text, const QKeySequence &keys,
                       QStyle::StandardPixmap icon, auto slot) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        if (icon != QStyle::SP_CustomBase)
            a->setIcon(style()->standardIcon(icon));
        if (!keys.isEmpty())
            a->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')),
                                                        keys.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction *newAction = make("mnuNuovo", tr("&Nuovo"), QKeySequence::New,
                              QStyle::SP_FileIcon, &OfficinaWindow::newProject);
    QAction *open = make("mnuApri", tr("&Apri..."), QKeySequence::Open,
                         QStyle::SP_DialogOpenButton, &OfficinaWindow::openFile);
    QAction *saveAction = make("mnuSalva", tr("&Salva"), QKeySequence::Save,
                               QStyle::SP_DialogSaveButton, [this] { save(); });
    QAction *saveAsAction = make("mnuSalvaConNome", tr("Salva con &nome..."),
                                 QKeySequence(tr("Ctrl+Shift+S")), QStyle::SP_CustomBase,
                                 [this] { saveAs(); });
    QAction *exportAction = make("mnuEsporta", tr("&Esporta..."), QKeySequence(tr("Ctrl+E")),
                                 QStyle::SP_DriveFDIcon, &OfficinaWindow::exportParts);
    QAction *printAction = make("mnuStampa", tr("S&tampa..."), QKeySequence::Print,
                                QStyle::SP_FileDialogDetailedView, &OfficinaWindow::print);
    QAction *quit = make("mnuEsci", tr("E&sci"), QKeySequence::Quit, QStyle::SP_CustomBase,
                         &OfficinaWindow::close);
    QAction *calc = make("mnuCalcola", tr("&Calcola"), QKeySequence(Qt::Key_F5),
                         QStyle::SP_BrowserReload, &OfficinaWindow::calculate);
    QAction *waves = make("mnuCalcolaOnde", tr("Calcola &onde"), QKeySequence(Qt::Key_F6),
                          QStyle::SP_MediaPlay, [this] {
                              m_tabs->setCurrentWidget(m_waves);
                              m_waves->calculate();
                          });
    QAction *stop = m_stop = make("mnuAnnulla", tr("&Ferma il calcolo"),
                                  QKeySequence(Qt::Key_Escape), QStyle::SP_BrowserStop,
                                  &OfficinaWindow::cancelWork);
    stop->setEnabled(false); // only while something runs
    // The Onde tab's own commands, reachable from the keyboard too: the tab comes forward.
    auto showWaves = [this] { m_tabs->setCurrentWidget(m_waves); };
    QAction *engine = make("mnuMotore", tr("&Motore..."), QKeySequence(tr("Ctrl+M")),
                           QStyle::SP_CustomBase, [this, showWaves] {
                               showWaves();
                               m_waves->editEngine();
                           });
    QAction *search = make("mnuOttimizza", tr("O&ttimizza..."), QKeySequence(tr("Ctrl+T")),
                           QStyle::SP_CustomBase, [this, showWaves] {
                               showWaves();
                               m_waves->optimize();
                           });
    QAction *bench = make("mnuCurvaBanco", tr("Curva al &banco..."), QKeySequence(tr("Ctrl+B")),
                          QStyle::SP_CustomBase, [this, showWaves] {
                              showWaves();
                              m_waves->loadBenchCurve();
                          });
    QAction *trace = make("mnuTracciaMisurata", tr("T&raccia misurata..."),
                          QKeySequence(tr("Ctrl+R")), QStyle::SP_CustomBase, [this, showWaves] {
                              showWaves();
                              m_waves->loadMeasuredTrace();
                          });
    QAction *manual = make("mnuManuale", tr("&Manuale di Velmorant Officina"),
                           QKeySequence(QKeySequence::HelpContents), QStyle::SP_DialogHelpButton,
                           [this] { m_platform.openAddress(QUrl(QStringLiteral(
                                        "man:velmorant-officina(1)"))); });

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addActions({newAction, open});
    m_recentMenu = file->addMenu(tr("File &recenti"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecenti"));
    file->addActions({saveAction, saveAsAction});
    file->addSeparator();
    file->addActions({exportAction, printAction});
    file->addSeparator();
    file->addAction(quit);
    QMenu *tools = menuBar()->addMenu(tr("A&zioni"));
    tools->addActions({calc, waves, stop});
    tools->addSeparator();
    tools->addActions({engine, search, bench, trace});
    QMenu *view = menuBar()->addMenu(tr("&Visualizza"));
    auto current = [this]() -> ZoomView * {
        QWidget *tab = m_tabs->currentWidget();
        auto *v = qobject_cast<ZoomView *>(tab);
        return v ? v : tab->findChild<ZoomView *>();
    };
    view->addAction(make("mnuAdatta", tr("&Adatta alla finestra"), QKeySequence(tr("Ctrl+0")),
                         QStyle::SP_CustomBase, [current] {
                             if (ZoomView *v = current())
                                 v->fit();
                         }));
    view->addAction(make("mnuIngrandisci", tr("&Ingrandisci"), QKeySequence::ZoomIn,
                         QStyle::SP_CustomBase, [current] {
                             if (ZoomView *v = current())
                                 v->zoomIn();
                         }));
    view->addAction(make("mnuRiduci", tr("&Riduci"), QKeySequence::ZoomOut,
                         QStyle::SP_CustomBase, [current] {
                             if (ZoomView *v = current())
                                 v->zoomOut();
                         }));
    view->addSeparator();
    // Each tab by its number.
    for (int i = 0; i < m_tabs->count(); ++i) {
        QAction *go = make(qPrintable(QStringLiteral("mnuScheda%1").arg(i + 1)),
                           m_tabCaptions[i], QKeySequence(tr("Alt+%1").arg(i + 1)),
                           QStyle::SP_CustomBase, [this, i] { m_tabs->setCurrentIndex(i); });
        view->addAction(go);
    }

    QMenu *help = menuBar()->addMenu(tr("A&iuto"));
    help->setObjectName(QStringLiteral("mnuAiuto"));
    help->addAction(manual);

    auto *bar = addToolBar(tr("Comandi"));
    bar->setObjectName(QStringLiteral("tbOfficina"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addActions({newAction, open, saveAction});
    bar->addSeparator();
    bar->addActions({calc, waves, stop});
    bar->addSeparator();
    bar->addActions({printAction, exportAction});
    updateRecent();
}

} // namespace velmorant
