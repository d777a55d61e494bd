#pragma once

#include "plan.h"

#include <QDate>
#include <QPageSize>
#include <QString>

#include <optional>

namespace velmorant {

// How the parts are written.
struct PartsOutput
{
    enum class Split { None, BySheet, ByPart };
    Split split = Split::None;                   // DXF and SVG: one file per sheet or per part
    QPageSize::PageSizeId paper = QPageSize::A4; // PDF
    QDate date;                                  // in the PDF's title block
};

// Writes the parts at 1:1, in millimetres, in the format of the file's extension: .pdf
// (templates on paper), .svg or .dxf (the sheets), .csv (the cut list). Every file is written
// atomically; on failure returns the message for the user, and the old file is as it was.
std::optional<QString> writeParts(const QString &path, const WorkshopPlan &plan,
                                  const PartsOutput &output);

// The extensions writeParts knows.
QStringList partsFileSuffixes();

} // namespace velmorant
