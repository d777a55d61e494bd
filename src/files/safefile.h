#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "usertext.h"

#include <optional>

namespace velmorant {

// Every file the suite writes goes through writeFileAtomically, and every file it reads through
// readRegularFile. Failures come back as a short Italian reason ("spazio esaurito sul disco"),
// for the caller's message that names the file.

// Writes `bytes` to `path` so that the file is either the old one, byte for byte, or the
// complete new one: the data goes to a temporary file beside the target, is flushed to disk,
// and only then renamed over it. A failed write, flush, close or rename removes the temporary
// file and leaves the old one untouched. A symbolic link is followed (the target is replaced,
// the link kept); the old file's permissions are kept. Targets that are not regular files
// (folders, FIFOs, devices, sockets, link loops) are refused before anything is written.
std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes);

// A set of files that belong together (the sheets of one export, one file each), written as
// a set: every file first to its hidden temporary, then all renamed into place, then the old
// set's files that the new one does not have (`obsolete`) removed. On any failure before the
// last step no file of the old set has changed and nothing new is left; the failure names the
// file. At most MaxFilesInSet files.
constexpr int MaxFilesInSet = 1100;
struct FileToWrite
{
    QString path;
    QByteArray bytes;
};
struct SetFailure
{
    QString path;
    QString reason;
};
std::optional<SetFailure> writeFileSet(const QList<FileToWrite> &files,
                                       const QStringList &obsolete);

// Reads a regular file of at most `maxBytes`; a longer one is refused whole ("il file supera il
// limite di 4 MiB"), never read in part. Anything else is refused at once, without blocking: a
// FIFO, a device, a socket or a folder.
struct FileReading
{
    QByteArray bytes;
    QString failure; // empty when read
    bool ok() const { return failure.isEmpty(); }
};
FileReading readRegularFile(const QString &path, qint64 maxBytes);

// A file of the suite's formats, read as readRegularFile reads it and parsed by `reader` (the
// bytes to a result with an `error` and ok()); either refusal names the file, quoted.
template <typename Reader>
auto readFileWith(const QString &path, qint64 maxBytes, Reader reader)
{
    const FileReading file = readRegularFile(path, maxBytes);
    decltype(reader(file.bytes)) read;
    if (!file.ok()) {
        read.error =
            QStringLiteral("Impossibile leggere %1: %2").arg(quotedPath(path), file.failure);
        return read;
    }
    read = reader(file.bytes);
    if (!read.ok())
        read.error = QStringLiteral("%1: %2").arg(quotedPath(path), read.error);
    return read;
}

// Whether two names reach the same file: the same device and inode when both exist (links,
// "./a" and "a", a hard link), otherwise the same absolute path once the folders' symbolic
// links are resolved. Outputs are checked against inputs and each other with it, so that no
// output overwrites an input and no two outputs of one run share a file.
bool sameFile(const QString &a, const QString &b);

// The Italian reason for a system error number.
QString systemErrorReason(int errorNumber);

// Called once at the start of every program of the suite: a file-size limit becomes a failed
// write that is reported (SIGXFSZ ignored), and SIGINT, SIGTERM, SIGHUP and SIGQUIT remove
// the hidden files of a write under way before the program ends. Hidden files left by a
// program killed outright (SIGKILL) are removed by the next write of the same name.
void protectFileWrites();

} // namespace velmorant
