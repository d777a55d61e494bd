#include "pipefile.h"

#include "safefile.h"

namespace velmorant {

PipeRead readPipeFile(const QString &path)
{
    return readFileWith(path, MaxPipeFileBytes, readPipeCsv);
}

route::RouteRead readRouteFile(const QString &path)
{
    return readFileWith(path, route::MaxRouteFileBytes, route::readRoute);
}

route::SurroundingsRead readObstaclesFile(const QString &path)
{
    return readFileWith(path, route::MaxObstaclesFileBytes, route::readSurroundings);
}

} // namespace velmorant
