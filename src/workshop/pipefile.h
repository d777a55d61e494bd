#pragma once

#include "pipecsv.h"
#include "obstacles.h"
#include "route.h"

namespace velmorant {

// The largest pipe file read: far more than MaxPipeRows rows of stations.
constexpr qint64 MaxPipeFileBytes = 4 << 20;

// A pipe measured on the bench, from its CSV file; the error names the file and why.
PipeRead readPipeFile(const QString &path);

// A pipe's route and the bike around it, from their JSON files; the error names the file and why.
route::RouteRead readRouteFile(const QString &path);
route::SurroundingsRead readObstaclesFile(const QString &path);

} // namespace velmorant
