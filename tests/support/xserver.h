#pragma once

// A real X server for the window tests that need one (Xvfb), on a display certainly their own,
// and the openbox window manager on it when asked.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

namespace velmorant::test {

class XServer
{
public:
    XServer()
        : m_xvfb(QStandardPaths::findExecutable(QStringLiteral("Xvfb"))),
          m_openbox(QStandardPaths::findExecutable(QStringLiteral("openbox"))),
          m_xprop(QStandardPaths::findExecutable(QStringLiteral("xprop")))
    {
    }
    ~XServer() { stop(); }
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    // Whether the programs are there (packages xvfb, openbox, x11-utils).
    bool available() const
    {
        return !m_xvfb.isEmpty() && !m_openbox.isEmpty() && !m_xprop.isEmpty();
    }

    // A display certainly our own. A server that is still shutting down can keep the abstract
    // socket of a display whose lock it has already given up; a new server on that number then
    // listens on the file socket only, and clients, which try the abstract socket first, reach
    // the dying one and are hung up on. So: a number nobody listens on, and, once our server is
    // up, every socket of that display is its own; otherwise the next number.
    bool start(const QString &screen = QStringLiteral("1280x1024x24"))
    {
        for (int number = 20; number < 120; ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                !displaySockets(number).isEmpty())
                continue;
            m_server.start(m_xvfb, {QStringLiteral(":%1").arg(number), "-displayfd", "1",
                                    "-screen", "0", screen, "-nolisten", "tcp"});
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
        m_why = QStringLiteral("no display of our own: %1")
                    .arg(QString::fromLocal8Bit(m_server.readAllStandardError()));
        return false;
    }

    // openbox on the display, once it says it manages the windows.
    bool startWindowManager()
    {
        m_manager.setProcessEnvironment(environment());
        m_manager.setProcessChannelMode(QProcess::MergedChannels); // it reports on stdout
        m_manager.start(m_openbox, {"--sm-disable"});
        if (!m_manager.waitForStarted(10000)) {
            m_why = m_manager.errorString();
            return false;
        }
        bool managed = false;
        QElapsedTimer waited;
        waited.start();
        while (!managed && m_manager.state() == QProcess::Running && waited.elapsed() < 20000) {
            QProcess query;
            query.setProcessEnvironment(environment());
            query.start(m_xprop, {"-root", "_NET_SUPPORTING_WM_CHECK"});
            query.waitForFinished(5000);
            managed = query.readAllStandardOutput().contains("window id");
            if (!managed)
                m_manager.waitForFinished(100);
        }
        if (!managed)
            m_why = QStringLiteral("openbox on %1: %2, exit %3, after %4 ms: %5")
                        .arg(m_display)
                        .arg(m_manager.state() == QProcess::Running ? QStringLiteral("running")
                                                                     : QStringLiteral("ended"))
                        .arg(m_manager.exitCode())
                        .arg(waited.elapsed())
                        .arg(QString::fromLocal8Bit(m_manager.readAllStandardOutput()));
        return managed;
    }

    void stop()
    {
        for (QProcess *p : {&m_manager, &m_server}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }

    // The environment of a program shown on this display through Qt's X11 platform.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }
    const QString &display() const { return m_display; }
    const QString &why() const { return m_why; }

private:
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

    QString m_xvfb, m_openbox, m_xprop;
    QProcess m_server, m_manager;
    QString m_display, m_why;
};

} // namespace velmorant::test
