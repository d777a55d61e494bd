#include "pipefile.h"

#include "safefile.h"

namespace velmorant {

PipeRead readPipeFile(const QString &path)
{
    return readFileWith(path, MaxPipeFileBytes, readPipeCsv);
}

} // namespace velmorant
