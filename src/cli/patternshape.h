#pragma once

#include "patterns.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

namespace velmorant {

// The outline of a template in millimetres, y downwards. A cone's sector has its apex at
// (0, 0) and opens downwards, symmetric about the vertical; a rectangle starts at (0, 0).
QList<QPointF> patternOutline(const Pattern &p, double stepDegrees = 0.25);
QRectF patternBounds(const Pattern &p);

// Start and end angles of a sector (degrees, y downwards, measured from +x towards +y).
inline double sectorStart(const Pattern &p)
{
    return 90.0 - p.sweepDegrees / 2;
}
inline double sectorEnd(const Pattern &p)
{
    return 90.0 + p.sweepDegrees / 2;
}

QByteArray patternsSvg(const QList<Pattern> &patterns);
QByteArray patternsDxf(const QList<Pattern> &patterns);
// The most pages a template PDF may have; a design that needs more is refused, not drawn.
constexpr int MaxPdfPages = 500;

struct PdfDocument
{
    QByteArray bytes;
    QString failure; // why nothing was made
    bool ok() const { return failure.isEmpty(); }
};
// The templates as A4 pages at 1:1, tiled where a template is larger than a page.
PdfDocument patternsPdf(const QList<Pattern> &patterns);

// "Segmento 3 (tratto centrale) saltato: lunghezza non positiva" lines for skipped segments.
QStringList skippedNotes(const QList<Pattern> &patterns);

} // namespace velmorant
