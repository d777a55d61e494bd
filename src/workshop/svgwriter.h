#pragma once

#include "sheetlayout.h"

#include <QByteArray>

namespace velmorant {

// The layout as SVG at 1:1: the page is the drawing's extent plus a margin, in millimetres,
// so every outline and label is on it; groups CUT, ETCH, LABEL and SHEET, arcs as arcs.
QByteArray workshopSvg(const WorkshopPlan &plan, const SheetLayout &layout);

} // namespace velmorant
