#pragma once

// The parts of a bend made as two pressed or hydroformed halves; used by the parts alone.
#include "part.h"

namespace velmorant {

// One half's flat outline, to first order, turned so that its longest straight stretch runs
// along +y: the weld margin beyond both seams, the seams' lines, the middle line with a mark
// across it at each joint, the arrow towards the port and a label that calls it an
// approximation to try on a test piece first.
void buildHalvesPiece(Part &p, const WorkshopOptions &o);

} // namespace velmorant
