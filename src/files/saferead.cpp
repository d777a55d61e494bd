#include "fileinternals.h"
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmorant {

using files::byteSize;
using files::notRegularReason;
using files::tr;

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

} // namespace velmorant
