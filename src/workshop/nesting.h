#pragma once

#include "part.h"

#include <QTransform>

#include <optional>

namespace velmorant {

// Where one part lies: on which sheet, turned by `rotation` degrees about its origin and then
// moved by `offset` (sheet coordinates: millimetres from the sheet's lower left corner).
struct PartPlacement
{
    int part = -1;
    int sheet = -1;
    double rotation = 0;
    QPointF offset;
    QTransform transform() const; // part coordinates to sheet coordinates
};

struct NestingResult
{
    QList<PartPlacement> placements; // one per placed part, in the parts' order
    QList<int> unplaced;             // parts larger than the sheet, even after splitting
    int sheets = 0;
    double utilisation = 0; // area of the placed parts over the area of the sheets used
};

// Places the parts on as few sheets as it can: the real outlines (a sector's hollow takes
// smaller parts), turned in steps of 15 degrees and at the angle that fits a long part, at the
// lowest place where they keep the gap from every other part and from the sheet's edges.
//
// The sheet is a grid of cells (1 mm, coarser on sheets over 2 m); a part occupies every cell
// whose centre lies within half the gap plus half a cell's diagonal of its outline, so parts in
// separate cells are always at least the gap apart, measured on the true arcs.
NestingResult nestParts(const QList<Part> &parts, const WorkshopOptions &options);

// A rotation in degrees at which the outline fits on the sheet with its gaps, if any does.
std::optional<double> sheetFitAngle(const Contour &outline, const WorkshopOptions &options);

} // namespace velmorant
