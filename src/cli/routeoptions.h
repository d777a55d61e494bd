#pragma once

#include "pipeoptions.h"

#include "cycle.h"
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
    QString stlFile; // --stl FILE.stl: the pipe's body, bent or straight
    QString obstaclesFile; // --obstacles FILE.json: what the pipe keeps clear of
    std::optional<double> bendLosses; // --bend-losses: the joints' losses in the waves, scaled
    bool fit = false;                 // --fit: the bends that make the pipe fit the bike
    int fitBends = 4;                 // --fit-bends
    double fitSegmentMm = 0;          // --fit-segment
    QString writeRouteFile;           // --write-route: the route used, for --route
};

QList<PipeOptionSpec> routeOptionSpecs();
// `drawsParts`: whether the run makes parts or waves (--patterns, --cut-list, --json or
// --waves), which a route without --stl needs to be of any use.
std::optional<QString> readRouteOptions(const QCommandLineParser &parser, const QLocale &locale,
                                        bool drawsParts, RouteRequest &into);

// Reads the route named by --route into the workshop's options, with the seam and the joint
// limit, and the obstacles named by --obstacles; the reason, naming the file, when it cannot.
std::optional<QString> readRouteFiles(const RouteRequest &r, WorkshopOptions &into);

// The route's joints on the modelled pipe, each a loss in the wave model scaled by
// --bend-losses; the route's refusal when it cannot be laid on that pipe.
std::optional<QString> addMitreJoints(const RouteRequest &r, const WorkshopOptions &workshop,
                                      const Pipe &modelled, waves::WaveOptions &into);

// With --fit, the route that fits the bike replaces the workshop's (from --route's start), and
// --write-route writes the route used; what the fit found is said in `said`; the reason when
// something cannot be written.
std::optional<QString> fitAndWriteRoute(const RouteRequest &r, WorkshopOptions &workshop,
                                        const Pipe &pipe, QString &said);

// Writes the pipe's body to --stl along the workshop's route (straight without one), its outer
// surface the inside diameters plus twice the sheet; the reason when it cannot.
std::optional<QString> writeBodyFile(const RouteRequest &r, const WorkshopOptions &workshop,
                                     const Pipe &pipe);

} // namespace velmorant
