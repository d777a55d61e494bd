// The remembered placement on a real X server (Xvfb), with the openbox window manager and
// without any: the window opens where it was closed, run after run.
#include "xserver.h"

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
    void cleanup() { m_x.stop(); }
    void stableOverFiveRuns_data();
    void stableOverFiveRuns();

private:
    velmorant::test::XServer m_x;
};

void TestDesktopPlacement::initTestCase()
{
    if (!m_x.available())
        QSKIP("needs Xvfb, openbox and xprop (packages xvfb, openbox, x11-utils)");
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

    QVERIFY2(m_x.start(), qPrintable(m_x.why()));
    if (windowManager)
        QVERIFY2(m_x.startWindowManager(), qPrintable(m_x.why()));

    QTemporaryDir config;
    const QString settingsFile = config.filePath("Velmorant/Velmorant.conf");
    {
        QSettings seed(settingsFile, QSettings::IniFormat);
        seed.setValue("Settings/MainLeft", "1500");
        seed.setValue("Settings/MainTop", "2250");
    }
    QProcessEnvironment env = m_x.environment();
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
