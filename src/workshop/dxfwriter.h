#pragma once

#include "sheetlayout.h"

#include <QByteArray>

namespace velmorant {

// A DXF R12 drawing in millimetres: each outline one closed POLYLINE on layer CUT with its
// arcs as bulges, the marks on ETCH (the centre line dashed), the labels as TEXT on LABEL, the
// sheets' outlines on SHEET; line types, layers, a text style and the extents declared.
// Coordinates carry 6 decimals.
QByteArray workshopDxf(const WorkshopPlan &plan, const SheetLayout &layout);

} // namespace velmorant
