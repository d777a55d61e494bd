#pragma once

#include "pipeoptions.h"

#include "part.h"

#include <QLocale>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace velmorant {

// What the command line asks of the pipe in space: the route file its bends come from, the
// seam's side on the mitred pieces and the largest turn of a joint.
struct RouteRequest
{
    QString routeFile; // --route FILE.json
    std::optional<route::SeamSide> seamSide;
    std::optional<double> maxJointDeg;
};

QList<PipeOptionSpec> routeOptionSpecs();
std::optional<QString> readRouteOptions(const QCommandLineParser &parser, const QLocale &locale,
                                        RouteRequest &into);

// Reads the route named by --route into the workshop's options, with the seam and the joint
// limit; the reason, naming the file, when it cannot.
std::optional<QString> readRouteFile(const RouteRequest &r, WorkshopOptions &into);

} // namespace velmorant
