#pragma once

#include "inputsource.h"
#include "parameters.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmorant {

// The bytes of a design file: eight lines in table order, CR LF, period notation.
QByteArray designFileBytes(const DesignParameters &p);

// Writes the file atomically: the old file is replaced only by a complete new one.
// On failure returns a message for the user and leaves any old file as it was.
std::optional<QString> writeDesignFile(const QString &path, const DesignParameters &p);

struct DesignFileRead
{
    FileSet values{}; // the eight fields; the first seven may be texts
    QString error;    // set when the file is refused; then `values` means nothing
    bool ok() const { return error.isNull(); }
};

// Reads the eight fields of design-file content. Fields are separated by commas or line
// ends; blanks before a field are skipped; a quoted field loses its quotes; an empty line is
// an empty field. A non-number eighth field reads as 0. Reading stops after the eighth.
// `name` is how the file is called in messages.
DesignFileRead parseDesignFile(const QByteArray &content, const QString &name);

// Opens and reads a design file; refuses files that cannot be read.
DesignFileRead readDesignFile(const QString &path);

} // namespace velmorant
