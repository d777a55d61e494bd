#pragma once

#include "contour.h"

namespace velmorant {

// The outline moved outwards by `distance` (mm, > 0) everywhere: each edge parallel to itself
// (an arc stays an arc about its centre, its radius grown or shrunk), a convex corner rounded
// about its vertex, a concave one trimmed where the moved edges meet. Every point of the result
// lies `distance` from the outline, as the centre of a cutting beam of twice that width must.
Contour offsetOutline(const Contour &outline, double distance);

} // namespace velmorant
