#pragma once

#include "plotcanvas.h"
#include "plotdata.h"

#include <QLocale>

namespace velmorant::plot {

// An entry of the legend: a sample of the line, marker or shade, and its words.
struct LegendEntry
{
    QString text;
    QPen pen;
    enum class Sample { Line, Dot, Ring, Shade } sample = Sample::Line;
    QColor fill;
};
QList<LegendEntry> legendOf(const Data &d);

// Where everything of a plot goes in `bounds`: the frame of the data, the legend (inside the
// frame where it covers no curve, mark or line; below the frame otherwise) and the mapping
// between data and pixels.
struct Geometry
{
    QRectF bounds, area, legend;
    bool legendInside = true;
    int legendColumns = 1; // entries side by side below the frame
    Window window;
    bool right = false; // a right axis is drawn

    QPointF toPixel(double x, double y, bool rightAxis = false) const;
    QPointF toData(QPointF pixel, bool rightAxis = false) const;
};
Geometry layout(const Data &d, const Window &w, const QRectF &bounds, const QFontMetricsF &m,
                const QLocale &locale);

// The ticks an axis shows between `from` and `to`, and their text.
QList<double> ticks(double from, double to, double step);
QString tickText(double v, double step, const QLocale &locale, const QString &suffix = {});
// Where the value under the mouse is written for the point at `at`: beside it within the plot's
// `area` where it fits, and always whole inside `bounds` (the widget).
QRectF readoutBox(QPointF at, QSizeF size, const QRectF &area, const QRectF &bounds);

// Draws the plot; `text` is the colour of words and frame.
void draw(Canvas &c, const Data &d, const Geometry &g, const QLocale &locale,
          const QColor &text = Qt::black);

// The segments and boxes the legend must not cover, in pixels: every curve between its points,
// every marker, mark with its name and level. (For the layout, and for its tests.)
struct Obstacles
{
    QList<QLineF> segments;
    QList<QRectF> boxes;
};
Obstacles obstaclesOf(const Data &d, const Geometry &g, const QFontMetricsF &m);
bool covers(const QRectF &r, const Obstacles &o);

} // namespace velmorant::plot
