#include "fakeplatform.h"
#include "mainwindow.h"
#include "panels.h"
#include "placement.h"
#include "splash.h"
#include "startup.h"
#include "statusbar.h"
#include "twips.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmorant;

namespace {

// Counts how often a window is shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// Notes whether the splash was on screen when the main window ran its load step.
class SpyPlacement : public PlacementStore
{
public:
    bool splashVisibleAtLoad = false;
    int loads = 0;
    void load(QWidget &) override
    {
        ++loads;
        for (QWidget *w : QApplication::topLevelWidgets())
            splashVisibleAtLoad |= w->objectName() == QLatin1String("frmSplash") && w->isVisible();
    }
    void save(const QWidget &) override {}
};

void storeSettings(const QStringList &keyValues)
{
    QSettings s;
    s.beginGroup(QStringLiteral("Settings"));
    for (const QString &kv : keyValues)
        s.setValue(kv.section('=', 0, 0), kv.section('=', 1));
}

QString stored(const char *key)
{
    return QSettings().value(QStringLiteral("Settings/") + QLatin1String(key)).toString();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init() { QSettings().clear(); }
    void cleanup();
    void settingsFifoDoesNotHang();

    void splashRevealsMainWindowOnce_data();
    void splashRevealsMainWindowOnce();
    void clickOnLabelKeepsSplash();
    void splashComesBeforeLoadStep();
    void closingClosesOtherWindows();
    void placementRead_data();
    void placementRead();
    void placementWrittenAtClose();
    void minimisedWritesNothing();
    void offScreenPositionCentres_data();
    void offScreenPositionCentres();

private:
    QPointer<MainWindow> main;
    QPointer<Splash> splash;
    FakePlatform platform;
    SettingsPlacementStore store;
};

void TestStartup::cleanup()
{
    delete splash;
    delete main;
}

void TestStartup::splashRevealsMainWindowOnce_data()
{
    QTest::addColumn<bool>("clickPicture");
    QTest::newRow("after the delay") << false;
    QTest::newRow("click on the picture") << true;
}

void TestStartup::splashRevealsMainWindowOnce()
{
    QFETCH(bool, clickPicture);
    const int delay = clickPicture ? 300 : 50;
    const Startup s = startVelmorant(platform, &store, delay);
    main = s.mainWindow;
    splash = s.splash;
    ShowCounter counter;
    main->installEventFilter(&counter);

    // Start-up has returned: the splash is up, the main window loaded and hidden.
    QVERIFY(splash->isVisible());
    QVERIFY(!main->isVisible());
    QCOMPARE(main->inputPanel().texts()[1], "10000");

    if (clickPicture) {
        QTest::mouseClick(splash->findChild<QLabel *>("Image1"), Qt::LeftButton);
        QVERIFY(main->isVisible());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(main->isVisible(), 2000);
    }
    QTRY_VERIFY(splash.isNull()); // closed and deleted
    QTest::qWait(delay + 100);    // the timer had been stopped: no second show
    QCOMPARE(counter.shows, 1);
}

// A settings file that is a FIFO would hang the load step for ever: the window opens on the
// default placement and its status bar says why; the FIFO is left alone, at close too.
void TestStartup::settingsFifoDoesNotHang()
{
    const test::SettingsFifo fifo;
    QVERIFY(fifo.ok());
    ::alarm(30); // a hang fails the test instead of stalling the suite
    const Startup s = startVelmorant(platform, &store, 60000);
    main = s.mainWindow;
    splash = s.splash;
    QVERIFY2(main->statusPanels().panelText(1).contains("non \u00e8 un file normale"),
             qPrintable(main->statusPanels().panelText(1)));
    main->close(); // stores the placement: not into the FIFO
    ::alarm(0);
    QVERIFY(fifo.untouched());
}

void TestStartup::clickOnLabelKeepsSplash()
{
    const Startup s = startVelmorant(platform, &store, 60000);
    main = s.mainWindow;
    splash = s.splash;
    for (const char *name : {"lblProductName", "lblVersion", "Label1", "lblCompanyProduct"})
        QTest::mouseClick(splash->findChild<QLabel *>(name), Qt::LeftButton);
    QTest::mouseClick(splash->findChild<QWidget *>("fraMainFrame"), Qt::LeftButton);
    QTest::keyClick(splash, Qt::Key_Escape);
    QVERIFY(splash->isVisible());
    QVERIFY(!main->isVisible());
}

void TestStartup::splashComesBeforeLoadStep()
{
    SpyPlacement spy;
    const Startup s = startVelmorant(platform, &spy, 60000);
    main = s.mainWindow;
    splash = s.splash;
    QCOMPARE(spy.loads, 1);
    QVERIFY(spy.splashVisibleAtLoad);
}

void TestStartup::closingClosesOtherWindows()
{
    main = new MainWindow(platform, &store);
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    QWidget other;
    other.show();
    QVERIFY(other.isVisible());
    main->findChild<QAction *>("mnuFileExit")->trigger();
    QVERIFY(main.isNull() || !main->isVisible());
    QVERIFY(!other.isVisible());
    QVERIFY(!stored("MainLeft").isEmpty()); // and the placement was kept
}

void TestStartup::placementRead_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QList<double>>("placement");

    QTest::newRow("empty store") << QStringList() << QList<double>{1000, 1000, 6500, 6500};
    QTest::newRow("stored values")
        << QStringList{"MainLeft=1500", "MainTop=2250", "MainWidth=11820", "MainHeight=8520"}
        << QList<double>{1500, 2250, 11820, 8520};
    QTest::newRow("not numbers take defaults")
        << QStringList{"MainLeft=abc", "MainTop=", "MainWidth=12x", "MainHeight=9000"}
        << QList<double>{1000, 1000, 6500, 9000};
}

void TestStartup::placementRead()
{
    QFETCH(QStringList, settings);
    QFETCH(QList<double>, placement);
    storeSettings(settings);
    QSettings s;
    const Placement p = readPlacement(s);
    QCOMPARE((QList<double>{p.left, p.top, p.width, p.height}), placement);
}

void TestStartup::placementWrittenAtClose()
{
    storeSettings({"MainLeft=1500", "MainTop=750", "MainWidth=3000", "MainHeight=2000"});
    main = new MainWindow(platform, &store);
    main->setAttribute(Qt::WA_DeleteOnClose);
    QCOMPARE(main->pos(), QPoint(px(1500), px(750)));
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    // The stored size never reaches the screen.
    QCOMPARE(main->size(), main->sizeHint());

    main->move(200, 90);
    QVERIFY(main->close());
    QCOMPARE(stored("MainLeft"), "3000");
    QCOMPARE(stored("MainTop"), "1350");
    QCOMPARE(stored("MainWidth"), "11820");
    QCOMPARE(stored("MainHeight"), "8520");
}

void TestStartup::minimisedWritesNothing()
{
    storeSettings({"MainLeft=1500", "MainTop=750"});
    main = new MainWindow(platform, &store);
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    main->move(300, 100);
    main->showMinimized();
    QTRY_VERIFY(main->isMinimized());
    main->close();
    QCOMPARE(stored("MainLeft"), "1500");
    QCOMPARE(stored("MainTop"), "750");
    QVERIFY(stored("MainWidth").isEmpty());
}

void TestStartup::offScreenPositionCentres_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::newRow("beyond the screen") << QStringList{"MainLeft=150000", "MainTop=-90000"};
    // Past what an int of pixels holds: no overflow, no wrap onto the screen at (0, 0).
    QTest::newRow("3.2e10") << QStringList{"MainLeft=32000000000", "MainTop=32000000000"};
    QTest::newRow("1e300") << QStringList{"MainLeft=1e300", "MainTop=1e300"};
    QTest::newRow("-1e300 left") << QStringList{"MainLeft=-1e300", "MainTop=300"};
}

void TestStartup::offScreenPositionCentres()
{
    QFETCH(QStringList, settings);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storeSettings(settings);
    main = new MainWindow(platform, &store);
    main->setAttribute(Qt::WA_DeleteOnClose);
    const QSize outer(px(MainWindow::OuterWidth), px(MainWindow::OuterHeight));
    QCOMPARE(main->pos(), area.center() - QPoint(outer.width() / 2, outer.height() / 2));

    // A position partly off screen whose top edge is still reachable is kept.
    storeSettings({"MainLeft=-3000", "MainTop=300"});
    QSettings s;
    QCOMPARE(windowPosition(readPlacement(s), outer), QPoint(-200, 20));

    // The values are written back at close as usual.
    main->close();
    QVERIFY(!stored("MainLeft").isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
