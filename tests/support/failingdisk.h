#pragma once

// Real write failures for the tests: a full disk, a file-size limit, an unprivileged user.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <cerrno>
#include <cstring>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmorant::test {

// A tmpfs of a few pages on a temporary folder, holding the given files and then filled to the
// last byte, so that the next write fails with "no space left". Needs the right to mount
// (root, as in CI); `available()` says whether it could be made and, if not, why.
class FullDisk
{
public:
    explicit FullDisk(const QList<QPair<QString, QByteArray>> &files)
    {
        const QByteArray where = QFile::encodeName(m_dir.path());
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=128k") != 0) {
            m_why = QStringLiteral("tmpfs non montabile qui: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
        for (const auto &[name, bytes] : files) {
            QFile f(path(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
                m_why = QStringLiteral("tmpfs troppo piccolo per i file di partenza");
                return;
            }
        }
        const int fd = ::open(QFile::encodeName(path(QStringLiteral("zz-filler"))).constData(),
                              O_WRONLY | O_CREAT, 0600);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), block.size()) > 0) {
        }
        while (::write(fd, block.constData(), 1) > 0) {
        }
        ::close(fd);
        m_ready = true;
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool available() const { return m_ready; }
    QString why() const { return m_why; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_ready = false;
    QString m_why;
};

// What a child process may write before the kernel refuses: a few bytes, so that any real
// file fails, with SIGXFSZ ignored so that the write reports the failure instead of dying.
// Both settings survive exec, so this also serves QProcess::setChildProcessModifier.
inline void limitFileSize()
{
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
}

// Runs `work` in a forked child under limitFileSize(); returns what it returned, through a pipe.
inline QByteArray inChildWithFileSizeLimit(const std::function<QByteArray()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return QByteArrayLiteral("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        limitFileSize();
        const QByteArray out = work();
        (void)!::write(fds[1], out.constData(), size_t(out.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray out;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, int(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

// Runs `work` with the effective identity of the unprivileged user "nobody" when running as
// root, so that permissions are checked as for an ordinary user.
template <typename F> auto asOrdinaryUser(F work)
{
    const bool root = ::geteuid() == 0;
    if (root)
        (void)!::setresuid(uid_t(-1), 65534, 0);
    auto result = work();
    if (root)
        (void)!::setresuid(uid_t(-1), 0, 0);
    return result;
}

// Every entry of a folder, hidden ones included: a temporary file left behind shows here.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace velmorant::test
