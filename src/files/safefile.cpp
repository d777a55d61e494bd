#include "safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>

#include <dirent.h>

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

// A bound in the largest whole unit: "4 MiB", "64 KiB", "100 byte".
QString byteSize(qint64 bytes)
{
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes >> 10);
    return QStringLiteral("%1 byte").arg(bytes);
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

// The hidden files of a write in progress (temporaries, and the links that keep an old set's
// files until the new set is in place), so that an interrupting signal can remove them. The
// handler only reads the slots and calls unlink, both safe in a signal handler.
constexpr int MaxPending = 2 * MaxFilesInSet + 16;
std::atomic<const char *> pendingFiles[MaxPending];

void remember(const QByteArray &path)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        const char *empty = nullptr;
        if (slot.compare_exchange_strong(empty, path.constData()))
            return;
    }
}

void forget(const QByteArray &path)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        const char *mine = path.constData();
        if (slot.compare_exchange_strong(mine, nullptr))
            return;
    }
}

// What each signal did before: a handler of the program's own runs after ours.
struct sigaction previousActions[NSIG];

void removePending(int signal, siginfo_t *info, void *context)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        if (const char *path = slot.load())
            ::unlink(path);
    }
    const struct sigaction &before = previousActions[signal];
    if (before.sa_flags & SA_SIGINFO) {
        before.sa_sigaction(signal, info, context);
    } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
    } else {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

std::time_t processStart = std::time(nullptr);

// The prefix of a hidden file beside `name`: ".name." when that leaves room for six random
// characters within the longest name the folder takes, otherwise as much of the name as fits,
// cut between characters.
QByteArray hiddenPrefix(const QByteArray &dir, const QByteArray &name)
{
    long longest = ::pathconf(dir.constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    const int room = int(longest) - 8; // the dots and XXXXXX
    QByteArray kept = name;
    if (kept.size() > room) {
        kept.truncate(std::max(0, room));
        // Not in the middle of a UTF-8 sequence.
        int cut = int(kept.size());
        while (cut > 0 && (uchar(kept[cut - 1]) & 0xc0) == 0x80)
            --cut;
        if (cut > 0 && (uchar(kept[cut - 1]) & 0xc0) == 0xc0)
            --cut;
        kept.truncate(cut);
    }
    return "." + kept + ".";
}

// Removes hidden files that a write of `name` left behind when its program was killed
// outright (SIGKILL, a power cut): files of the same pattern, owned by this user, last
// changed before this program started and more than a minute ago, so that no write still
// under way is touched.
void removeStaleTemporaries(const QByteArray &dir, const QByteArray &prefix)
{
    DIR *d = ::opendir(dir.constData());
    if (!d)
        return;
    const std::time_t before = std::min(processStart, std::time(nullptr) - 60);
    while (const dirent *e = ::readdir(d)) {
        const QByteArray entry(e->d_name);
        if (entry.size() != prefix.size() + 6 || !entry.startsWith(prefix))
            continue;
        bool random = true;
        for (int i = int(prefix.size()); i < entry.size(); ++i)
            random = random && std::isalnum(uchar(entry[i]));
        struct stat st
        {
        };
        const QByteArray path = dir + '/' + entry;
        if (random && ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && st.st_mtime < before)
            ::unlink(path.constData());
    }
    ::closedir(d);
}

// One file of a write: its target, and the complete new content in a hidden file beside it.
struct Pending
{
    Target target;
    QByteArray dir, prefix, temp, keep;
    bool written = false;
};

void discard(Pending &p)
{
    if (!p.temp.isEmpty()) {
        ::unlink(p.temp.constData());
        forget(p.temp);
    }
}

// Writes the new content to a hidden file beside the target, flushed to the disk; on failure
// nothing is left.
std::optional<QString> writeTemporary(const QString &path, const QByteArray &bytes, Pending &p)
{
    if (path.isEmpty())
        return tr("nessun nome di file");
    if (std::optional<QString> refused = resolveTarget(path, p.target))
        return refused;
    // Replacing works on the folder, so a file its owner made read-only would be replaced
    // silently; respect the protection instead.
    if (p.target.exists && ::faccessat(AT_FDCWD, p.target.path.constData(), W_OK, AT_EACCESS) != 0)
        return systemErrorReason(errno);

    p.dir = directoryOf(p.target.path);
    p.prefix = hiddenPrefix(p.dir, p.target.path.mid(p.target.path.lastIndexOf('/') + 1));
    removeStaleTemporaries(p.dir, p.prefix);
    p.temp = p.dir + '/' + p.prefix + "XXXXXX";
    char *name = p.temp.data(); // mkostemp only changes its last six characters
    remember(p.temp);
    const int fd = ::mkostemp(name, O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        forget(p.temp);
        p.temp.clear();
        return systemErrorReason(e);
    }

    auto fail = [&](int e, bool open) -> std::optional<QString> {
        if (open)
            ::close(fd);
        discard(p);
        p.temp.clear();
        return systemErrorReason(e);
    };
    const mode_t mode =
        p.target.exists ? (p.target.info.st_mode & 07777) : (0666 & ~currentUmask() & 07777);
    if (::fchmod(fd, mode) != 0)
        return fail(errno, true);
    if (p.target.exists &&
        (p.target.info.st_uid != ::geteuid() || p.target.info.st_gid != ::getegid()))
        (void)!::fchown(fd, p.target.info.st_uid, p.target.info.st_gid); // only root may
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return fail(errno, true);
    if (::close(fd) != 0)
        return fail(errno, false);
    p.written = true;
    return std::nullopt;
}

void syncFolder(const QByteArray &dir)
{
    // The renames reach the disk with the folder; a failure here leaves the complete new files
    // in place, so it is not reported.
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A second name for an old file, so that it can be put back if the set cannot be completed.
void keepOld(Pending &p)
{
    if (!p.target.exists)
        return;
    QByteArray name = p.dir + '/' + p.prefix + "XXXXXX";
    char *chars = name.data();
    remember(name);
    const int fd = ::mkostemp(chars, O_CLOEXEC);
    if (fd < 0) {
        forget(name);
        return;
    }
    ::close(fd);
    ::unlink(name.constData());
    if (::link(p.target.path.constData(), name.constData()) == 0)
        p.keep = name;
    else
        forget(name);
}

void dropKept(Pending &p)
{
    if (p.keep.isEmpty())
        return;
    ::unlink(p.keep.constData());
    forget(p.keep);
    p.keep.clear();
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

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa
    {
    }, sb{};
    const bool hasA = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool hasB = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB)
        return false;
    // Neither exists yet: the same place once the folders are resolved.
    auto place = [](const QString &path) {
        const QFileInfo info(path);
        const QString folder = info.absoluteDir().canonicalPath();
        return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') +
               info.fileName();
    };
    return place(a) == place(b);
}

std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    Pending p;
    if (std::optional<QString> failed = writeTemporary(path, bytes, p))
        return failed;
    if (::rename(p.temp.constData(), p.target.path.constData()) != 0) {
        const int e = errno;
        discard(p);
        return systemErrorReason(e);
    }
    forget(p.temp);
    syncFolder(p.dir);
    return std::nullopt;
}

std::optional<SetFailure> writeFileSet(const QList<FileToWrite> &files,
                                       const QStringList &obsolete)
{
    if (files.size() > MaxFilesInSet)
        return SetFailure{files.value(MaxFilesInSet).path,
                          tr("troppi file in una volta (al massimo %1)").arg(MaxFilesInSet)};
    std::vector<Pending> pending(std::size_t(files.size()));
    auto abandon = [&] {
        for (Pending &p : pending) {
            discard(p);
            dropKept(p);
        }
    };
    for (int i = 0; i < files.size(); ++i) {
        if (std::optional<QString> failed = writeTemporary(files[i].path, files[i].bytes,
                                                           pending[std::size_t(i)])) {
            abandon();
            return SetFailure{files[i].path, *failed};
        }
    }
    for (Pending &p : pending)
        keepOld(p);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (::rename(pending[i].temp.constData(), pending[i].target.path.constData()) == 0)
            continue;
        const int e = errno;
        // Put back what was replaced so far: the old files, and no new one where there was none.
        for (std::size_t k = 0; k < i; ++k) {
            Pending &done = pending[k];
            if (!done.keep.isEmpty() &&
                ::rename(done.keep.constData(), done.target.path.constData()) == 0) {
                forget(done.keep);
                done.keep.clear();
            } else if (!done.target.exists) {
                ::unlink(done.target.path.constData());
            }
            forget(done.temp);
            done.temp.clear();
        }
        abandon();
        return SetFailure{files[int(i)].path, systemErrorReason(e)};
    }
    for (Pending &p : pending) {
        forget(p.temp);
        p.temp.clear();
        dropKept(p);
    }
    std::optional<SetFailure> left;
    for (const QString &old : obsolete) {
        if (::unlink(QFile::encodeName(old).constData()) != 0 && errno != ENOENT && !left)
            left = SetFailure{old, tr("non si \u00e8 potuto togliere il file del gruppo "
                                      "precedente: %1")
                                       .arg(systemErrorReason(errno))};
    }
    for (const Pending &p : pending)
        syncFolder(p.dir);
    return left;
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
        // Up to the end, whatever the size says (it may change while reading); a file longer
        // than the bound is refused whole, never taken in part.
        r.bytes.resize(int(maxBytes) + 1);
        qint64 got = 0;
        while (got <= maxBytes) {
            const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(maxBytes + 1 - got));
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
        if (r.ok() && got > maxBytes)
            r.failure = tr("il file supera il limite di %1").arg(byteSize(maxBytes));
        r.bytes.truncate(int(got));
    }
    ::close(fd);
    if (!r.ok())
        r.bytes.clear();
    return r;
}

void protectFileWrites()
{
    // A process over its file-size limit is killed by SIGXFSZ by default, losing whatever was
    // not saved; ignored, the limit is an ordinary failed write that is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    processStart = std::time(nullptr);
    // Interrupted, a write removes its hidden files before the program ends as the signal
    // asks (or as a handler installed before this one decides). A signal the caller ignores
    // (a background job's SIGINT) stays ignored.
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction old
        {
        };
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN ||
            ((old.sa_flags & SA_SIGINFO) && old.sa_sigaction == removePending))
            continue;
        previousActions[sig] = old;
        struct sigaction act
        {
        };
        act.sa_sigaction = removePending;
        act.sa_flags = SA_SIGINFO;
        sigemptyset(&act.sa_mask);
        ::sigaction(sig, &act, nullptr);
    }
}

} // namespace velmorant
