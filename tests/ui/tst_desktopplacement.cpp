// The remembered placement on a real X server (Xvfb), with the openbox window manager and
// without any: the window opens where it was closed, run after run.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestDesktopPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void stableOverFiveRuns_data();
    void stableOverFiveRuns();

private:
    QProcessEnvironment display() const;
    bool startServer();
    QString m_xvfb, m_openbox, m_xprop;
    QProcess m_server, m_manager;
    QString m_display;
};

void TestDesktopPlacement::initTestCase()
{
    m_xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    m_openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    m_xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (m_xvfb.isEmpty() || m_openbox.isEmpty() || m_xprop.isEmpty())
        QSKIP("needs Xvfb, openbox and xprop (packages xvfb, openbox, x11-utils)");
}

void TestDesktopPlacement::cleanup()
{
    for (QProcess *p : {&m_manager, &m_server}) {
        p->terminate();
        if (!p->waitForFinished(3000))
            p->kill();
        p->waitForFinished(3000);
    }
}

// The listening sockets of display `number`: the file and the abstract one, by inode.
static QSet<QByteArray> displaySockets(int number)
{
    QFile table(QStringLiteral("/proc/net/unix"));
    QSet<QByteArray> inodes;
    if (!table.open(QIODevice::ReadOnly))
        return inodes;
    const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 8 && (f[7] == path || f[7] == '@' + path))
            inodes << f[6];
    }
    return inodes;
}

static QSet<QByteArray> socketsOf(qint64 pid)
{
    QSet<QByteArray> inodes;
    QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.contains(QLatin1String("socket:[")))
            inodes << target.section('[', 1).section(']', 0, 0).toLatin1();
    }
    return inodes;
}

// A display certainly our own. A server that is still shutting down can keep the abstract
// socket of a display whose lock it has already given up; a new server on that number then
// listens on the file socket only, and clients, which try the abstract socket first, reach the
// dying one and are hung up on. So: a number nobody listens on, and, once our server is up,
// every socket of that display is its own; otherwise the next number.
bool TestDesktopPlacement::startServer()
{
    for (int number = 20; number < 120; ++number) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
            !displaySockets(number).isEmpty())
            continue;
        m_server.start(m_xvfb, {QStringLiteral(":%1").arg(number), "-displayfd", "1", "-screen",
                                "0", "1280x1024x24", "-nolisten", "tcp"});
        m_display = QStringLiteral(":%1").arg(number);
        if (m_server.waitForReadyRead(20000) &&
            m_server.readLine().trimmed() == QByteArray::number(number)) {
            const QSet<QByteArray> listening = displaySockets(number);
            if (!listening.isEmpty() && socketsOf(m_server.processId()).contains(listening))
                return true;
        }
        m_server.kill();
        m_server.waitForFinished(5000);
    }
    m_display = QStringLiteral("no display of our own: %1")
                    .arg(QString::fromLocal8Bit(m_server.readAllStandardError()));
    return false;
}

QProcessEnvironment TestDesktopPlacement::display() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

void TestDesktopPlacement::stableOverFiveRuns_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("no window manager") << false;
    QTest::newRow("openbox") << true;
}

void TestDesktopPlacement::stableOverFiveRuns()
{
    QFETCH(bool, windowManager);

    QVERIFY2(startServer(), qPrintable(m_display));
    if (windowManager) {
        m_manager.setProcessEnvironment(display());
        m_manager.setProcessChannelMode(QProcess::MergedChannels); // it reports on stdout
        m_manager.start(m_openbox, {"--sm-disable"});
        QVERIFY2(m_manager.waitForStarted(10000), qPrintable(m_manager.errorString()));
        bool managed = false;
        QElapsedTimer waited;
        waited.start();
        while (!managed && m_manager.state() == QProcess::Running && waited.elapsed() < 20000) {
            QProcess query;
            query.setProcessEnvironment(display());
            query.start(m_xprop, {"-root", "_NET_SUPPORTING_WM_CHECK"});
            query.waitForFinished(5000);
            managed = query.readAllStandardOutput().contains("window id");
            if (!managed)
                m_manager.waitForFinished(100);
        }
        QVERIFY2(managed, qPrintable(QStringLiteral("openbox on %1: %2, exit %3, after %4 ms: %5")
                                         .arg(m_display)
                                         .arg(m_manager.state() == QProcess::Running
                                                  ? QStringLiteral("running")
                                                  : QStringLiteral("ended"))
                                         .arg(m_manager.exitCode())
                                         .arg(waited.elapsed())
                                         .arg(QString::fromLocal8Bit(
                                             m_manager.readAllStandardOutput()))));
    }

    QTemporaryDir config;
    const QString settingsFile = config.filePath("Velmorant/Velmorant.conf");
    {
        QSettings seed(settingsFile, QSettings::IniFormat);
        seed.setValue("Settings/MainLeft", "1500");
        seed.setValue("Settings/MainTop", "2250");
    }
    QProcessEnvironment env = display();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());

    for (int run = 1; run <= 5; ++run) {
        QProcess probe;
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(PLACEMENT_PROBE),
                    {windowManager ? QStringLiteral("framed") : QStringLiteral("bare")});
        const bool finished = probe.waitForFinished(30000);
        const QString said = QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
        const QString why = QStringLiteral("run %1: \"%2\" %3")
                                .arg(run)
                                .arg(said, QString::fromLocal8Bit(probe.readAllStandardError()));
        QVERIFY2(finished, qPrintable(why));
        const QStringList f = said.split(' ');
        QVERIFY2(f.size() == 8 && f[1] == "1", qPrintable(why));
        const QPoint frame(f[3].toInt(), f[4].toInt()), client(f[6].toInt(), f[7].toInt());

        // 1500 and 2250 twips are 100 and 150 pixels: the frame is where it was stored.
        QCOMPARE(frame, QPoint(100, 150));
        if (windowManager)
            QVERIFY2(client.y() > frame.y(), "the window manager gave it a title bar");
        else
            QCOMPARE(client, frame);
        QSettings stored(settingsFile, QSettings::IniFormat);
        QCOMPARE(stored.value("Settings/MainLeft").toString(), "1500");
        QCOMPARE(stored.value("Settings/MainTop").toString(), "2250");
    }
}

QTEST_GUILESS_MAIN(TestDesktopPlacement)
#include "tst_desktopplacement.moc"
