#pragma once

// The part sets both nesting benchmarks measure, and the parts of one set on one sheet.
#include "part.h"

#include <QSizeF>

#include <utility>

namespace velmorant::bench {

struct Design
{
    const char *name;
    double cil, rpm, ratio, sheet, seam, maxSweep, maxLength;
};

// Twelve designs of 5 to 76 parts, each on three sheets, then three of many strips.
const Design Designs[] = {
    {"defaults", 100, 10000, 4, 0, 0, 180, 0},
    {"50cc_14000_r7", 50, 14000, 7, 1.5, 10, 180, 0},
    {"250cc_6000_r2", 250, 6000, 2, 0, 10, 180, 0},
    {"125cc_9000_r5", 125, 9000, 5, 1.5, 0, 180, 0},
    {"80cc_12000_r3", 80, 12000, 3, 1.5, 10, 180, 0},
    {"200cc_7500_r6", 200, 7500, 6, 0, 10, 180, 0},
    {"125cc_10deg_60mm", 125, 9000, 5, 1.5, 10, 10, 60},
    {"250cc_45deg_150mm", 250, 9000, 4, 1, 0, 45, 150},
    {"500cc_100mm", 500, 6000, 4, 1, 0, 180, 100},
    {"125cc_30deg_120mm", 125, 9000, 4, 1, 0, 30, 120},
    {"250cc_15deg_100mm", 250, 6000, 2, 1.5, 10, 15, 100},
    {"200cc_10deg_30mm", 200, 7500, 4, 1, 0, 10, 30},
};
const QSizeF Sheets[] = {{1000, 500}, {600, 400}, {2000, 1000}};
const Design Many[] = {
    {"125cc_90deg_6mm", 125, 10000, 4, 1, 0, 90, 6},
    {"250cc_2mm", 250, 10000, 4, 1, 0, 180, 2},
    {"500cc_1.2mm", 500, 10000, 4, 1, 0, 180, 1.2},
};

inline std::pair<QList<Part>, WorkshopOptions> partsOf(const Design &c, QSizeF sheet)
{
    DesignParameters p = defaultParameters();
    p[Field::Cil] = c.cil;
    p[Field::Rpm] = c.rpm;
    p[Field::Rappsez] = c.ratio;
    WorkshopOptions o;
    o.sheetThickness = c.sheet;
    o.seamAllowance = c.seam;
    o.maxSweepDegrees = c.maxSweep;
    o.maxLength = c.maxLength;
    o.sheetSize = sheet;
    return {makeParts(developSegments(computeChamber(p), o.sheetThickness), o).parts, o};
}

} // namespace velmorant::bench
