#pragma once

#include "plan.h"

#include <QDate>
#include <QPageSize>
#include <QString>
#include <QStringList>

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
// atomically, and a split export as one set: `progetto-foglio1.dxf` ... for each sheet and
// `progetto-fuori-3.dxf` for each part that fits no sheet, or `progetto-2a.dxf` ... for each
// part; files that an earlier export of the same name and kind wrote (each says so in a comment
// at its head) and that the new set does not have are removed, and no other file ever is. On failure nothing has changed and the result says why, for the user.
struct PartsWritten
{
    QString failure;
    QStringList files;         // what was written
    QList<int> offSheetParts;  // parts written to files of their own, for want of a sheet
    QStringList offSheetFiles; // and those files
    bool ok() const { return failure.isEmpty(); }
};
PartsWritten writeParts(const QString &path, const WorkshopPlan &plan, const PartsOutput &output);

// The extensions writeParts knows.
QStringList partsFileSuffixes();

} // namespace velmorant
