#include "safefile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmorant {

namespace {

// As many links as the kernel itself follows before it reports a loop.
constexpr int MaxLinkDepth = 40;

QString tr(const char *text)
{
    return QCoreApplication::translate("velmorant::files", text);
}

QString notRegularReason()
{
    return tr("non \u00e8 un file normale (\u00e8 una pipe, un dispositivo o un socket)");
}

struct Target
{
    QByteArray path; // after following symbolic links
    bool exists = false;
    struct stat info
    {
    };
};

QByteArray directoryOf(const QByteArray &path)
{
    const int slash = int(path.lastIndexOf('/'));
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Follows symbolic links by hand, so that a link to a file that does not exist yet still
// names the file to create, and a loop is reported instead of being replaced.
std::optional<QString> resolveTarget(const QString &path, Target &t)
{
    t.path = QFile::encodeName(path);
    for (int depth = 0; depth <= MaxLinkDepth; ++depth) {
        struct stat st
        {
        };
        if (::lstat(t.path.constData(), &st) != 0) {
            if (errno == ENOENT)
                return std::nullopt; // a new file
            return systemErrorReason(errno);
        }
        if (!S_ISLNK(st.st_mode)) {
            t.exists = true;
            t.info = st;
            if (S_ISDIR(st.st_mode))
                return systemErrorReason(EISDIR);
            if (!S_ISREG(st.st_mode))
                return notRegularReason();
            return std::nullopt;
        }
        QByteArray link(4096, '\0');
        const ssize_t n = ::readlink(t.path.constData(), link.data(), size_t(link.size()));
        if (n < 0)
            return systemErrorReason(errno);
        link.truncate(int(n));
        t.path = link.startsWith('/') ? link : directoryOf(t.path) + '/' + link;
    }
    return systemErrorReason(ELOOP);
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

QString systemErrorReason(int e)
{
    switch (e) {
    case ENOSPC:
        return tr("spazio esaurito sul disco");
    case EDQUOT:
        return tr("quota del disco superata");
    case EFBIG:
        return tr("il file supera la dimensione massima consentita");
    case EACCES:
    case EPERM:
        return tr("permesso negato");
    case ENOENT:
        return tr("il file o la cartella non esiste");
    case ENOTDIR:
        return tr("una parte del percorso non \u00e8 una cartella");
    case EISDIR:
        return tr("\u00e8 una cartella");
    case EROFS:
        return tr("il file system \u00e8 di sola lettura");
    case ELOOP:
        return tr("troppi collegamenti simbolici (forse un ciclo)");
    case ENAMETOOLONG:
        return tr("nome troppo lungo");
    case EIO:
        return tr("errore di lettura o scrittura del dispositivo");
    case EMFILE:
    case ENFILE:
        return tr("troppi file aperti");
    case ETXTBSY:
    case EBUSY:
        return tr("il file \u00e8 in uso");
    case ENXIO:
    case ENODEV:
        return notRegularReason();
    default:
        return tr("errore di sistema %1 (%2)").arg(e).arg(QString::fromLocal8Bit(std::strerror(e)));
    }
}

std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return tr("nessun nome di file");
    Target target;
    if (std::optional<QString> refused = resolveTarget(path, target))
        return refused;
    // Replacing works on the folder, so a file its owner made read-only would be replaced
    // silently; respect the protection instead.
    if (target.exists && ::faccessat(AT_FDCWD, target.path.constData(), W_OK, AT_EACCESS) != 0)
        return systemErrorReason(errno);

    const QByteArray dir = directoryOf(target.path);
    const QByteArray name = target.path.mid(target.path.lastIndexOf('/') + 1);
    QByteArray temp = dir + "/." + name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return systemErrorReason(errno);

    auto fail = [&](int e, bool open) -> std::optional<QString> {
        if (open)
            ::close(fd);
        ::unlink(temp.constData());
        return systemErrorReason(e);
    };

    const mode_t mode =
        target.exists ? (target.info.st_mode & 07777) : (0666 & ~currentUmask() & 07777);
    if (::fchmod(fd, mode) != 0)
        return fail(errno, true);
    if (target.exists && (target.info.st_uid != ::geteuid() || target.info.st_gid != ::getegid()))
        (void)!::fchown(fd, target.info.st_uid, target.info.st_gid); // only root may; best effort

    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return fail(errno, true);
    if (::close(fd) != 0)
        return fail(errno, false);
    if (::rename(temp.constData(), target.path.constData()) != 0)
        return fail(errno, false);

    // The rename itself reaches the disk with the folder; a failure here leaves the complete
    // new file in place, so it is not reported.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return std::nullopt;
}

FileReading readRegularFile(const QString &path, qint64 maxBytes)
{
    FileReading r;
    if (path.isEmpty()) {
        r.failure = tr("nessun nome di file");
        return r;
    }
    // Non-blocking, so that opening a FIFO returns at once; the type is then checked on what
    // was opened, not on the name, which could change in between.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.failure = systemErrorReason(errno);
        return r;
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0) {
        r.failure = systemErrorReason(errno);
    } else if (S_ISDIR(st.st_mode)) {
        r.failure = systemErrorReason(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        r.failure = notRegularReason();
    } else {
        // Up to the end or the bound, whatever the size says (it may change while reading).
        r.bytes.resize(int(maxBytes));
        qint64 got = 0;
        while (got < maxBytes) {
            const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(maxBytes - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                r.failure = systemErrorReason(errno);
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        r.bytes.truncate(int(got));
    }
    ::close(fd);
    if (!r.ok())
        r.bytes.clear();
    return r;
}

void reportFileSizeLimitAsWriteError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace velmorant
