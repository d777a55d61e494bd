#pragma once

// What the suite's file readers and writers share among themselves; not for other callers.
#include <QByteArray>
#include <QString>

namespace velmorant::files {

QString tr(const char *text);
QString notRegularReason();
// A bound in the largest whole unit: "4 MiB", "64 KiB", "100 byte".
QString byteSize(qint64 bytes);

// The hidden files of a write in progress, remembered so that an interrupting signal can
// remove them; `path` must stay alive and unchanged until it is forgotten.
void remember(const QByteArray &path);
void forget(const QByteArray &path);

// The prefix of a write's hidden files beside `name` in `dir`, to which six random characters
// are added; it carries the suite's own mark, so that no file of the user's is ever taken for
// one of them.
QByteArray hiddenPrefix(const QByteArray &dir, const QByteArray &name);
// Removes hidden files of that prefix that a write killed outright left behind.
void removeStaleTemporaries(const QByteArray &dir, const QByteArray &prefix);

} // namespace velmorant::files
