#pragma once

#include "sheetlayout.h"

#include <QByteArray>

namespace velmorant {

// A DXF R12 drawing in millimetres: each outline one closed POLYLINE on layer CUT with its
// arcs as bulges, the marks on ETCH (the centre line dashed), the labels as TEXT on LABEL, the
// sheets' outlines on SHEET; line types, layers, a text style and the extents declared.
// Coordinates carry 6 decimals.
QByteArray workshopDxf(const WorkshopPlan &plan, const SheetLayout &layout);

// A text as a DXF R12 string in the code page the header declares (Windows-1252): characters
// of the code page as they are, every other one as \U+XXXX, a backslash as \U+005C so that
// none reads as an escape, a caret as "^ " (caret notation), "%%" as "%%%%%%" (a literal percent
// each), at most 255 bytes. Expects text without control characters (plainUserText).
QByteArray dxfText(const QString &text);

} // namespace velmorant
