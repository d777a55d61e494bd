#pragma once

// What the Percorso tab's construction and its edits share: the tables' columns and the
// start's rows.
#include "route.h"

namespace velmorant::routetab {

enum BendColumn { At, Angle, Plane, Joints, Radius, Spacing, Halves, BendColumns };
enum ObstacleColumn { Name, Shape, X1, Y1, Z1, X2, Y2, Z2, ObstacleRadius, ObstacleColumns };
enum ShapeIndex { BoxShape, CylinderShape, TargetShape };

// The start's rows: the point, the direction, "up".
inline route::Vec3 &coordinates(route::Route &r, int row)
{
    return row == 0 ? r.point : row == 1 ? r.direction : r.up;
}

} // namespace velmorant::routetab
