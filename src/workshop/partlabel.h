#pragma once

// The label and marks drawn inside a part, fitted to its body; used by the parts alone.
#include "part.h"

#include <QLocale>
#include <QPointF>
#include <QStringList>

#include <cmath>

namespace velmorant::partlabel {

constexpr double Deg = TruePi / 180;
constexpr double LabelMargin = 2;  // mm between a label and its part's outline
constexpr double MaxLabelEm = 10;  // no larger than this, however big the part
constexpr double ReadableEm = 2.5; // below this, fewer lines at a larger size
constexpr double SmallestEm = 0.8;

// The region a label must stay inside: the part's body without the allowance, shrunk by the
// margin (sector: radii and half sweep in radians; rectangle: from y0 to h, 0 to w).
struct Body
{
    bool sector = false;
    double r = 0, R = 0, half = 0;
    double y0 = 0, w = 0, h = 0;
    double margin = LabelMargin;
    bool contains(const QPointF corners[4]) const;
};

// The label's lines as large as the body takes them, centred at `centre`, across the part or
// along it (`along`, degrees) whichever reads larger.
PartLabel fitLabel(const Body &body, const QStringList &lines, const QString &name,
                   QPointF centre, double along);
// The text of a part's label, numbers in the options' notation.
QStringList labelLines(const Part &p, const WorkshopOptions &o);
// The centre line from `from` to `to`, broken around the label; an arrow from tail to head.
void addCentreLine(QList<Stroke> &marks, QPointF from, QPointF to, const PartLabel &label);
void addArrow(QList<Stroke> &marks, QPointF tail, QPointF head);
QString in(const QLocale &locale, double v, int decimals = 1);

inline QPointF polar(double r, double radians)
{
    return {r * std::cos(radians), r * std::sin(radians)};
}

} // namespace velmorant::partlabel
