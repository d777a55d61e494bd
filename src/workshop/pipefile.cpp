#include "pipefile.h"

#include "safefile.h"
#include "usertext.h"

namespace velmorant {

PipeRead readPipeFile(const QString &path)
{
    const FileReading file = readRegularFile(path, MaxPipeFileBytes);
    if (!file.ok())
        return {
            Pipe(),
            QStringLiteral("Impossibile leggere %1: %2").arg(quotedUserText(path), file.failure)};
    PipeRead read = readPipeCsv(file.bytes);
    if (!read.ok())
        read.error = QStringLiteral("%1: %2").arg(quotedUserText(path), read.error);
    return read;
}

} // namespace velmorant
