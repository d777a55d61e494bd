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
std::optional<QString> writePatternsPdf(const QString &path, const QList<Pattern> &patterns);

// "Segmento 3 (tratto centrale) saltato: lunghezza non positiva" lines for skipped segments.
QStringList skippedNotes(const QList<Pattern> &patterns);

} // namespace velmorant
