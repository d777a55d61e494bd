#pragma once

#include "part.h"

#include <QTransform>

#include <functional>
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
    bool cancelled = false; // stopped on request: nothing is placed
};

// Told how far the work has gone (`done` of `total` steps); answers false to stop it.
using NestingProgress = std::function<bool(int done, int total)>;

// Places the parts on as few sheets as it can: the real outlines (a sector's hollow takes
// smaller parts), turned in steps of 15 degrees, or at every degree that fits a long part that
// only fits turned, at the lowest place where they keep the gap from every other part and from
// the sheet's edges.
//
// A grid of cells (1 mm, coarser on sheets over 2 m) finds each part a place with room to
// spare; the part then slides down and left against its neighbours, measured on the true
// outlines, until its nearest neighbour or edge is a little over the gap away (never less).
// When the last sheet could perhaps be spared, other orders of the parts are tried within a
// budget of work that depends only on the input, so the same input always gives the same
// layout, and the layout kept is never worse than the first.
NestingResult nestParts(const QList<Part> &parts, const WorkshopOptions &options,
                        const NestingProgress &progress = {});

// A rotation in degrees at which the outline fits on the sheet with its gaps, if any does.
std::optional<double> sheetFitAngle(const Contour &outline, const WorkshopOptions &options);

} // namespace velmorant
