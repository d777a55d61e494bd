#include "fileinternals.h"
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

using files::forget;
using files::hiddenPrefix;
using files::notRegularReason;
using files::remember;
using files::removeStaleTemporaries;
using files::tr;

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

} // namespace velmorant
