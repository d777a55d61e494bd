#pragma once

// The parts of a bent pipe's mitred pieces; used by the parts alone.
#include "part.h"

namespace velmorant {

// The outline, marks and label of a mitred piece, from its seam: both cut edges developed
// point by point, the seam allowance on the first seam edge, the quarter marks of each cut
// (doubled on the inside of the bend), the centre line and the arrow towards the port.
void buildMitredPiece(Part &p, const WorkshopOptions &o);

// A mitred development cut along its axis into `count` stretches by square cuts, or nothing
// when a square cut would cross an oblique one.
QList<Development> mitredStretches(const Development &dev, int count);

} // namespace velmorant
