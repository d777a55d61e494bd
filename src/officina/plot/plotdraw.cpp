// The plot drawn on any canvas: frame, grid, ticks, curves, marks and the legend.
#include "plotlayout.h"
#include "plotshared.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant::plot {

using namespace detail;

namespace {

void drawLegend(Canvas &c, const QList<LegendEntry> &entries, const Geometry &g,
                const QColor &text)
{
    const QFontMetricsF m = c.metrics();
    const double rowHeight = m.height() + 2;
    QColor veil(Qt::white);
    veil.setAlpha(g.legendInside ? 225 : 255);
    c.fill(g.legend, veil);
    c.frame(g.legend, QPen(QColor(0xBD, 0xBD, 0xBD), 1));
    double widest = 0;
    for (const LegendEntry &e : entries)
        widest = std::max(widest, m.horizontalAdvance(e.text));
    const double entryWidth = SampleLength + 10 + widest + 10 + (g.legendInside ? 0 : Pad);
    for (int i = 0; i < entries.size(); ++i) {
        const int col = i % g.legendColumns, row = i / g.legendColumns;
        const QPointF at(g.legend.left() + 5 + col * entryWidth, g.legend.top() + 4 + row * rowHeight);
        const double mid = at.y() + rowHeight / 2;
        const LegendEntry &e = entries[i];
        switch (e.sample) {
        case LegendEntry::Sample::Line:
            c.line(QPointF(at.x(), mid), QPointF(at.x() + SampleLength, mid), e.pen);
            break;
        case LegendEntry::Sample::Dot:
            c.circle(QPointF(at.x() + SampleLength / 2, mid), 2.5, Qt::NoPen, e.fill);
            break;
        case LegendEntry::Sample::Ring:
            c.circle(QPointF(at.x() + SampleLength / 2, mid), 4, e.pen, Qt::white);
            break;
        case LegendEntry::Sample::Shade:
            c.fill(QRectF(at.x(), mid - 5, SampleLength, 10), e.fill);
            break;
        }
        c.text(QRectF(at.x() + SampleLength + 6, at.y(), widest + 8, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter, e.text, text);
    }
}

} // namespace

void draw(Canvas &c, const Data &d, const Geometry &g, const QLocale &locale, const QColor &text)
{
    const QFontMetricsF m = c.metrics();
    const QRectF a = g.area;
    const Window &w = g.window;
    const QColor grid(0xE0, 0xE0, 0xE0);
    // Shades first, under everything.
    c.clip(a);
    for (const Shade &s : d.shades) {
        const QPointF lo = g.toPixel(std::max(s.from, w.x0), w.y1);
        const QPointF hi = g.toPixel(std::min(s.to, w.x1), w.y0);
        if (hi.x() > lo.x())
            c.fill(QRectF(lo, hi), s.color);
    }
    // The grid at the ticks.
    const double xStep = axisStep(d.x, w.x0, w.x1, a.width(), XSpacing);
    const double yStep = axisStep(d.y, w.y0, w.y1, a.height(), YSpacing);
    const QList<double> xs = ticks(w.x0, w.x1, xStep), ys = ticks(w.y0, w.y1, yStep);
    for (double x : xs)
        c.line(g.toPixel(x, w.y0), g.toPixel(x, w.y1), QPen(grid, 1));
    for (double y : ys)
        c.line(g.toPixel(w.x0, y), g.toPixel(w.x1, y), QPen(grid, 1));
    c.unclip();
    c.frame(a, QPen(text, 1));
    // Ticks and titles.
    const double line = m.height();
    for (double x : xs)
        c.text(QRectF(g.toPixel(x, w.y0).x() - 50, a.bottom() + Pad / 2, 100, line),
               Qt::AlignHCenter | Qt::AlignTop, tickText(x, xStep, locale, d.x.suffix), text);
    for (double y : ys)
        c.text(QRectF(g.bounds.left(), g.toPixel(w.x0, y).y() - line / 2,
                      a.left() - Pad / 2 - g.bounds.left(), line),
               Qt::AlignRight | Qt::AlignVCenter, tickText(y, yStep, locale, d.y.suffix), text);
    // Titles shortened with an ellipsis where the frame is too short for them.
    auto fitted = [&](const QString &title, double room) {
        return m.elidedText(title, Qt::ElideRight, std::max(0.0, room));
    };
    if (!d.x.title.isEmpty())
        c.text(QRectF(a.left(), a.bottom() + Pad / 2 + line + Pad / 2, a.width(), line),
               Qt::AlignHCenter | Qt::AlignTop, fitted(d.x.title, a.width()), text);
    if (!d.y.title.isEmpty())
        c.text(QRectF(g.bounds.left() + Pad / 2, a.top(), line, a.height()), Qt::AlignCenter,
               fitted(d.y.title, a.height()), text, true);
    if (g.right) {
        const double rStep = axisStep(d.y2, w.r0, w.r1, a.height(), YSpacing);
        double widestRight = 0;
        for (double y : ticks(w.r0, w.r1, rStep))
            widestRight = std::max(widestRight, m.horizontalAdvance(tickText(y, rStep, locale,
                                                                             d.y2.suffix)));
        for (double y : ticks(w.r0, w.r1, rStep))
            c.text(QRectF(a.right() + Pad / 2, g.toPixel(w.x0, y, true).y() - line / 2,
                          g.bounds.right() - a.right(), line),
                   Qt::AlignLeft | Qt::AlignVCenter, tickText(y, rStep, locale, d.y2.suffix),
                   text);
        if (!d.y2.title.isEmpty())
            c.text(QRectF(a.right() + Pad / 2 + widestRight + Pad / 2, a.top(), line, a.height()),
                   Qt::AlignCenter, fitted(d.y2.title, a.height()), text, true);
    }

    c.clip(a);
    for (const Level &l : d.levels)
        c.line(g.toPixel(w.x0, l.y), g.toPixel(w.x1, l.y), QPen(l.color, 1, l.style));
    for (const Mark &k : d.marks) {
        const QPointF top = g.toPixel(k.x, w.y1), bottom = g.toPixel(k.x, w.y0);
        c.line(top, bottom, QPen(k.color, 1, k.style));
    }
    if (d.current)
        c.line(g.toPixel(*d.current, w.y0), g.toPixel(*d.current, w.y1),
               QPen(QColor(0x42, 0x42, 0x42), 1.5, Qt::DashDotLine));
    for (const Series &s : d.series) {
        QPolygonF path;
        for (const QPointF &p : s.points) {
            if (usable(p.x()) && usable(p.y()))
                path << g.toPixel(p.x(), p.y(), s.rightAxis);
        }
        if (s.line && path.size() > 1)
            c.polyline(path, QPen(s.color, s.width, s.style, Qt::RoundCap, Qt::RoundJoin));
        for (int i = 0; i < path.size(); ++i) {
            if (s.flagged.contains(i))
                c.circle(path[i], 4.5, QPen(s.color, 1.5), Qt::white);
            else if (s.marker == Series::Marker::Dot || !s.line)
                c.circle(path[i], s.line ? 3 : 2, Qt::NoPen, s.color);
            else if (s.marker == Series::Marker::Ring)
                c.circle(path[i], 3.5, QPen(s.color, 1.5), Qt::white);
        }
    }
    // The marks' names over the curves, each on a veil of the background: EO reads whatever
    // passes under it.
    for (const Mark &k : d.marks) {
        const QRectF box(g.toPixel(k.x, w.y1).x() + 2, a.top() + 2,
                         m.horizontalAdvance(k.label) + 4, line);
        QColor veil(Qt::white);
        veil.setAlpha(215);
        c.fill(box, veil);
        c.text(box.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, k.label, text);
    }
    c.unclip();
    const QList<LegendEntry> entries = legendOf(d);
    if (!entries.isEmpty())
        drawLegend(c, entries, g, text);
}

} // namespace velmorant::plot
