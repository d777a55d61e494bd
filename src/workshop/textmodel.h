#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace velmorant {

// Distance between the baselines of two lines of a label, in font sizes.
constexpr double LineSpacingEm = 1.3;

// How wide a text may run, without asking a font: per character, an advance no smaller than
// that of the fonts the drawings name (Liberation Sans, DejaVu Sans, a CAD program's simple
// stroke font at the height the DXF gives). Labels sized with it fit inside their part in
// every writer, whatever font the viewer substitutes.
double textWidthEm(const QString &text);

// The block a label of these lines takes at font size `em`: its widest line by the width
// above, and its lines' spacing.
QSizeF textBlockSize(const QStringList &lines, double em);

// Height of a DXF text (capital letters) for a label drawn with font size `em`: small enough
// that the stroke font's wider cells stay within textWidthEm.
constexpr double DxfTextHeightPerEm = 0.55;

} // namespace velmorant
