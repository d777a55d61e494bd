#pragma once

#include "layout.h"
#include "obstacles.h"

namespace velmorant::route {

// The least distance between the pipe's outer surface and one obstacle, and where.
struct ObstacleDistance
{
    QString name;
    double distanceMm = 0; // negative inside the obstacle by that depth
    QString piece;         // the piece nearest to it
};

struct Clearance
{
    QList<ObstacleDistance> distances; // in the obstacles' order
    bool tailInTarget = true;          // true when there is no target
    double tailOutsideMm = 0;          // how far the tail's end is from the target box
};

// Distances from the pieces of `layout` (laid on the outer surface: see outerLayout) to each
// obstacle: every piece is the convex hull of its two cut edges, sampled finely enough that
// the answer is within a few thousandths of a millimetre.
Clearance clearanceOf(const RouteLayout &layout, const Surroundings &s);

// The route laid on the pipe's outer surface (inside radius plus `sheetMm`), with no builder's
// limits: what clearance and the body are measured on.
RouteLayout outerLayout(const Pipe &pipe, const Route &route, double sheetMm);

} // namespace velmorant::route
