#include "mainwindow.h"

#include "aboutbox.h"
#include "fonts.h"
#include "panels.h"
#include "placementstore.h"
#include "platform.h"
#include "sketchview.h"
#include "statusbar.h"
#include "texts.h"
#include "twips.h"
#include "widgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>

namespace velmorant {

MainWindow::MainWindow(Platform &platform, PlacementStore *placement, const QLocale &locale,
                       QWidget *parent)
    : QMainWindow(parent), m_platform(platform), m_placement(placement), m_locale(locale)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(texts::productName());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    // Fixed single border: close button and system menu, no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(sansSerifFont());

    buildClientArea();
    createActions();
    createMenus();
    createToolbar();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // Sized now, not when first shown: sizing at show time would make Qt take the position
    // below for the client area instead of the frame, and the window would creep up by its
    // title bar on every run under a window manager.
    adjustSize();

    // The load step: the remembered placement, applied while the window is still hidden.
    if (m_placement)
        m_placement->load(*this);

    present(m_calculator.startup(m_locale));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(px(ClientWidth), px(ClientHeight));
    setCentralWidget(client);

    m_input = std::make_unique<InputPanel>(client);
    m_output = std::make_unique<OutputPanel>(client);
    auto *heading = new HeadingPanel(client);
    connect(heading, &HeadingPanel::webLinkClicked, this, &MainWindow::openWebSite);

    // The sketch frame takes the window's outer size less fixed margins.
    m_sketch = new SketchView(makeFrame(QStringLiteral("Frame3"), tr("Geometria"), client, 120,
                                        3840, OuterWidth - 300, OuterHeight - 4800));

    // The bars are plain children at fixed places, so hiding one moves nothing else.
    m_toolbar = new QToolBar(client);
    m_toolbar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolbar->setGeometry(0, 0, px(ClientWidth), px(336));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(16, 16));

    m_status = new StatusBar(client);
    m_status->setGeometry(0, px(ClientHeight - 270), px(ClientWidth), px(270));

    struct ButtonSpec
    {
        const char *name;
        const char *caption;
        int left;
        void (MainWindow::*slot)();
    };
    const ButtonSpec buttons[] = {
        {"cmdCalcola", QT_TR_NOOP("Calcola"), 2400, &MainWindow::calculate},
        {"cmdReset", QT_TR_NOOP("Default Input"), 3670, &MainWindow::resetDefaults},
        {"cmdClear", QT_TR_NOOP("Clear"), 4920, &MainWindow::clear}};
    for (const ButtonSpec &b : buttons) {
        auto *button = new QPushButton(tr(b.caption), m_toolbar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setFont(sansSerifFont());
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setGeometry(twipsRect(b.left, 20, 1140, 270));
        connect(button, &QPushButton::clicked, this, b.slot);
    }

    // Focus order: the inputs, Calcola, the results, Clear, Default Input.
    QList<QWidget *> order;
    for (std::size_t i = 0; i < FieldCount; ++i)
        order << m_input->box(i);
    order << m_toolbar->findChild<QPushButton *>(QStringLiteral("cmdCalcola"));
    for (std::size_t i = 0; i < ResultCount; ++i)
        order << m_output->box(i);
    order << m_toolbar->findChild<QPushButton *>(QStringLiteral("cmdClear"))
          << m_toolbar->findChild<QPushButton *>(QStringLiteral("cmdReset"));
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainWindow::present(const Screen &screen)
{
    if (screen.inputs)
        m_input->setTexts(*screen.inputs);
    if (screen.results)
        m_output->setResults(*screen.results);
    if (screen.captions)
        m_sketch->setCaptionTexts(*screen.captions);
    if (screen.sketch == Screen::Sketch::Show)
        m_sketch->showSketch(screen.geometry);
    else if (screen.sketch == Screen::Sketch::Hide)
        m_sketch->hideSketch();
    auto showMessage = [&] {
        if (screen.message)
            m_platform.showMessage(this, texts::productName(), screen.message->text,
                                   screen.message->icon);
    };
    if (screen.messageBeforePanels)
        showMessage();
    for (int i = 0; i < 3; ++i) {
        if (screen.panels[i])
            m_status->setPanelText(i + 1, *screen.panels[i]);
    }
    if (!screen.messageBeforePanels)
        showMessage();
}

void MainWindow::calculate()
{
    present(m_calculator.calculate(m_input->texts(), m_locale, m_sketch->frameWidth()));
}

void MainWindow::clear()
{
    present(m_calculator.clear());
}

void MainWindow::resetDefaults()
{
    present(m_calculator.resetDefaults(m_locale));
}

void MainWindow::toggleToolbar()
{
    m_toolbar->setVisible(m_viewToolbar->isChecked());
}

void MainWindow::toggleStatusBar()
{
    m_status->setVisible(m_viewStatusBar->isChecked());
}

void MainWindow::showAbout()
{
    AboutBox box(m_platform, this);
    box.exec();
}

void MainWindow::openWebSite()
{
    m_platform.openAddress(webAddress());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The unload step: close the other windows, then remember where this one was.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != this && (*it)->isVisible())
            (*it)->close();
    }
    if (m_placement && !isMinimized())
        m_placement->save(*this);
    event->accept();
}

} // namespace velmorant
