#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace velmorant::plot {

// What one plot of the workshop window shows, in the data's own units: curves against a common
// x axis (on the left y axis, or on a right one), shaded x ranges, vertical marks with a name
// and horizontal reference lines. Every tab's plot is this with its own series.
struct Series
{
    QString name; // in the legend; empty: not listed
    QList<QPointF> points;
    QColor color;
    double width = 2;
    Qt::PenStyle style = Qt::SolidLine;
    enum class Marker { None, Dot, Ring } marker = Marker::None;
    bool line = true;       // joined, or markers alone
    bool rightAxis = false; // against the right y axis
    bool clickable = false; // a click on one of its points is reported
    // Points drawn as a ring (not settled, say) and what the legend calls them.
    QList<int> flagged;
    QString flaggedName;
};

struct Mark // a vertical line at x with its name at the top
{
    double x = 0;
    QString label;
    QColor color = QColor(0x75, 0x75, 0x75);
    Qt::PenStyle style = Qt::DashLine;
};

struct Level // a horizontal line at y, named in the legend
{
    double y = 0;
    QString name;
    QColor color = QColor(0x75, 0x75, 0x75);
    Qt::PenStyle style = Qt::DotLine;
};

struct Shade // an x range shaded from top to bottom, named in the legend
{
    double from = 0, to = 0;
    QString name;
    QColor color = QColor(0xC8, 0xE6, 0xC9);
};

struct Axis
{
    QString title;             // with its unit: "Pressione (bar)"
    QString unit;              // after a value read under the mouse: "bar"
    QString suffix;            // after each tick's number: "°"
    std::optional<double> from, to; // fixed ends; the data's otherwise
    double step = 0;           // between ticks; a round step of the range when 0
    bool fromZero = false;     // the automatic range starts at zero
};

struct Data
{
    Axis x, y, y2; // y2 shown when a series uses it
    QList<Series> series;
    QList<Mark> marks;
    QList<Level> levels;
    QList<Shade> shades;
    std::optional<double> current; // an x to stand out (the speed shown)
    QString currentName;
    QString note; // shown instead of the plot while there is nothing to draw

    bool empty() const;
    bool usesRightAxis() const;
};

// The window of data a plot shows: its x range and the ranges of its two y axes.
struct Window
{
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1, r0 = 0, r1 = 1;
    bool operator==(const Window &o) const
    {
        return x0 == o.x0 && x1 == o.x1 && y0 == o.y0 && y1 == o.y1 && r0 == o.r0 && r1 == o.r1;
    }
};

// The whole of the data, with a round margin; fixed ends kept.
Window fullWindow(const Data &d);

// Round steps (1, 2, 5 times a power of ten) that cut `span` into about `count` parts.
double niceStep(double span, int count);

} // namespace velmorant::plot
