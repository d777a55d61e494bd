#pragma once

#include "chamber.h"
#include "clearance.h"
#include "nesting.h"
#include "part.h"
#include "warnings.h"

#include <QByteArray>
#include <QJsonObject>

namespace velmorant {

// Everything the workshop makes of one design: developments, parts, their places on the
// sheets and the warnings.
struct WorkshopPlan
{
    DesignParameters parameters;
    ChamberDimensions dimensions;
    WorkshopOptions options;
    QList<Development> developments;
    QList<Part> parts;
    NestingResult nesting;
    QList<BuilderWarning> warnings;
    PartsRefusal refusal; // why no parts were made; the developments are still there
    std::optional<Pipe> pipe; // when the parts are of a pipe other than the five segments
    route::RouteLayout layout; // the route laid on the pipe, when the options hold one
    std::optional<route::Clearance> clearance; // from the surroundings, when there are some

    // Where part `i` lies, or nullptr when it is not on a sheet.
    const PartPlacement *placementOf(int i) const;
};

// `progress` follows the nesting, the long part of the work, and may stop it (the plan then
// says nesting.cancelled and holds no placements).
WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const WorkshopOptions &options, const NestingProgress &progress = {});

// The same for any pipe (stages, another method, a measured pipe): a development per section,
// and the warnings on the pipe's own figures (`portArea`, mm², when the port is known).
WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const Pipe &pipe, const WorkshopOptions &options,
                          const NestingProgress &progress = {}, double portArea = 0);

// One row of the cut list.
struct CutListRow
{
    QString part;
    int segment = 0;
    QString segmentName;
    int sheet = 0;       // from 1; 0 when the part is not on a sheet
    QRectF footprint;    // sheet frame: the placed, turned outline's box on its sheet, mm
    double rotation = 0; // degrees
    QSizeF size;         // part frame: the outline's box before it is turned, mm
    double area = 0;     // mm²
    double mass = 0;     // kg
};
QList<CutListRow> cutList(const WorkshopPlan &plan);

// The cut list as CSV: a header, then a row per part; periods for decimals. The columns
// foglio_* are in the sheet's frame (the turned part's box where it lies), pezzo_* in the
// part's own; a part on no sheet says "fuori" and leaves the sheet's columns empty.
QByteArray cutListCsv(const WorkshopPlan &plan);

// The plan for the command line's JSON: sheet thickness and options, every part with its
// sheet position, the sheets used, the utilisation and the warnings with their codes.
QJsonObject workshopJson(const WorkshopPlan &plan);

} // namespace velmorant
