#pragma once

#include <QByteArray>
#include <QString>

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

// Reads at most `maxBytes` from the start of a regular file. Anything else is refused at once,
// without blocking: a FIFO, a device, a socket or a folder.
struct FileReading
{
    QByteArray bytes;
    QString failure; // empty when read
    bool ok() const { return failure.isEmpty(); }
};
FileReading readRegularFile(const QString &path, qint64 maxBytes);

// The Italian reason for a system error number.
QString systemErrorReason(int errorNumber);

// A process over its file-size limit is killed by SIGXFSZ by default, losing whatever was not
// saved; ignoring it turns the limit into an ordinary failed write that is reported. Called
// once at the start of every program of the suite.
void reportFileSizeLimitAsWriteError();

} // namespace velmorant
