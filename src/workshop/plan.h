#pragma once

#include "chamber.h"
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
    QString refusal; // why no parts were made; the developments are still there

    // Where part `i` lies, or nullptr when it is not on a sheet.
    const PartPlacement *placementOf(int i) const;
};

WorkshopPlan planWorkshop(const DesignParameters &parameters, const ChamberDimensions &dimensions,
                          const WorkshopOptions &options);

// One row of the cut list.
struct CutListRow
{
    QString part;
    int segment = 0;
    QString segmentName;
    int sheet = 0;       // from 1; 0 when the part is not on a sheet
    QPointF position;    // lower left corner of the placed part on its sheet, mm
    double rotation = 0; // degrees
    QSizeF size;         // of the outline, as drawn in the part's own coordinates, mm
    double area = 0;     // mm²
    double mass = 0;     // kg
};
QList<CutListRow> cutList(const WorkshopPlan &plan);

// The cut list as CSV: a header, then a row per part; periods for decimals.
QByteArray cutListCsv(const WorkshopPlan &plan);

// The plan for the command line's JSON: sheet thickness and options, every part with its
// sheet position, the sheets used, the utilisation and the warnings with their codes.
QJsonObject workshopJson(const WorkshopPlan &plan);

} // namespace velmorant
