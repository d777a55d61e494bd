#include "plotlayout.h"
#include "plotshared.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::plot {

using namespace detail;

namespace {

// The step's decimals: 0.25 needs two, 5 none.
int decimalsOf(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    int d = 0;
    while (d < 6 && std::abs(step * std::pow(10, d) - std::round(step * std::pow(10, d))) >
                        1e-6 * step * std::pow(10, d))
        ++d;
    return d;
}

// The automatic range of one axis over `values`, grown to whole steps.
void rounded(double &lo, double &hi, const Axis &a)
{
    if (a.fromZero)
        lo = std::min(lo, 0.0);
    if (!(hi > lo)) {
        const double half = lo == 0 ? 1 : std::abs(lo) * 0.05;
        lo -= half;
        hi += half;
    }
    // Room between the data and the frame: a peak never sits on the axis' last tick.
    const double room = 0.04 * (hi - lo);
    hi += room;
    if (!(a.fromZero && lo == 0))
        lo -= room;
    const double step = a.step > 0 ? a.step : niceStep(hi - lo, 6);
    lo = std::floor(lo / step + 1e-9) * step;
    hi = std::ceil(hi / step - 1e-9) * step;
    if (a.from)
        lo = *a.from;
    if (a.to)
        hi = *a.to;
}

} // namespace

double detail::axisStep(const Axis &a, double lo, double hi, double pixels, double spacing)
{
    const int count = std::clamp(int(pixels / spacing), 2, 8);
    if (a.step > 0 && (hi - lo) / a.step <= 40 && (hi - lo) / a.step <= 2.5 * count)
        return a.step;
    return niceStep(hi - lo, count);
}

bool Data::empty() const
{
    for (const Series &s : series) {
        if (!s.points.isEmpty())
            return false;
    }
    return true;
}

bool Data::usesRightAxis() const
{
    for (const Series &s : series) {
        if (s.rightAxis && !s.points.isEmpty())
            return true;
    }
    return false;
}

double niceStep(double span, int count)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / std::max(1, count);
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (f * power >= raw * 0.999)
            return f * power;
    }
    return 10 * power;
}

Window fullWindow(const Data &d)
{
    const double inf = std::numeric_limits<double>::infinity();
    double x0 = inf, x1 = -inf, y0 = inf, y1 = -inf, r0 = inf, r1 = -inf;
    for (const Series &s : d.series) {
        for (const QPointF &p : s.points) {
            if (!usable(p.x()) || !usable(p.y()))
                continue;
            x0 = std::min(x0, p.x());
            x1 = std::max(x1, p.x());
            (s.rightAxis ? r0 : y0) = std::min(s.rightAxis ? r0 : y0, p.y());
            (s.rightAxis ? r1 : y1) = std::max(s.rightAxis ? r1 : y1, p.y());
        }
    }
    for (const Level &l : d.levels) {
        y0 = std::min(y0, l.y);
        y1 = std::max(y1, l.y);
    }
    if (!(x1 >= x0)) {
        x0 = 0;
        x1 = 1;
    }
    if (!(y1 >= y0)) {
        y0 = 0;
        y1 = 1;
    }
    if (!(r1 >= r0)) {
        r0 = 0;
        r1 = 1;
    }
    Window w;
    w.x0 = d.x.from.value_or(x0);
    w.x1 = d.x.to.value_or(x1);
    if (!(w.x1 > w.x0)) {
        const double half = w.x0 == 0 ? 1 : std::abs(w.x0) * 0.05;
        w.x0 -= half;
        w.x1 += half;
    }
    w.y0 = y0;
    w.y1 = y1;
    rounded(w.y0, w.y1, d.y);
    w.r0 = r0;
    w.r1 = r1;
    rounded(w.r0, w.r1, d.y2);
    return w;
}

QList<double> ticks(double from, double to, double step)
{
    QList<double> out;
    if (!(step > 0) || !(to >= from) || (to - from) / step > 200)
        return out;
    for (double v = std::ceil(from / step - 1e-9) * step; v <= to + 1e-9 * std::abs(step);
         v += step)
        out << (std::abs(v) < 1e-12 * step ? 0.0 : v);
    return out;
}

QRectF readoutBox(QPointF at, QSizeF size, const QRectF &area, const QRectF &bounds)
{
    // Beside the point, up and to the right; to its left or below where the frame ends.
    QRectF box(at + QPointF(10, -size.height() - 6), size.boundedTo(bounds.size()));
    if (box.right() > area.right())
        box.moveRight(at.x() - 10);
    if (box.top() < area.top())
        box.moveTop(at.y() + 10);
    // Never cut by the widget's edge.
    box.moveLeft(std::clamp(box.left(), bounds.left(), bounds.right() - box.width()));
    box.moveTop(std::clamp(box.top(), bounds.top(), bounds.bottom() - box.height()));
    return box;
}

QString tickText(double v, double step, const QLocale &locale, const QString &suffix)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(v, 'f', decimalsOf(step)) + suffix;
}

QList<LegendEntry> legendOf(const Data &d)
{
    QList<LegendEntry> out;
    for (const Series &s : d.series) {
        if (s.name.isEmpty() || s.points.isEmpty())
            continue;
        LegendEntry e;
        e.text = s.name;
        e.pen = QPen(s.color, s.width, s.style);
        e.sample = s.line ? LegendEntry::Sample::Line : LegendEntry::Sample::Dot;
        e.fill = s.color;
        out << e;
    }
    for (const Series &s : d.series) {
        if (!s.flagged.isEmpty() && !s.flaggedName.isEmpty()) {
            LegendEntry e;
            e.text = s.flaggedName;
            e.pen = QPen(s.color, 1.5);
            e.sample = LegendEntry::Sample::Ring;
            out << e;
            break;
        }
    }
    for (const Level &l : d.levels) {
        if (!l.name.isEmpty())
            out << LegendEntry{l.name, QPen(l.color, 1, l.style), LegendEntry::Sample::Line, {}};
    }
    for (const Shade &s : d.shades) {
        if (!s.name.isEmpty())
            out << LegendEntry{s.name, QPen(s.color, 6), LegendEntry::Sample::Shade, s.color};
    }
    if (d.current && !d.currentName.isEmpty())
        out << LegendEntry{d.currentName, QPen(QColor(0x42, 0x42, 0x42), 1.5, Qt::DashDotLine),
                           LegendEntry::Sample::Line, {}};
    return out;
}

QPointF Geometry::toPixel(double x, double y, bool rightAxis) const
{
    const double lo = rightAxis ? window.r0 : window.y0, hi = rightAxis ? window.r1 : window.y1;
    return {area.left() + (x - window.x0) / (window.x1 - window.x0) * area.width(),
            area.bottom() - (y - lo) / (hi - lo) * area.height()};
}

QPointF Geometry::toData(QPointF p, bool rightAxis) const
{
    const double lo = rightAxis ? window.r0 : window.y0, hi = rightAxis ? window.r1 : window.y1;
    return {window.x0 + (p.x() - area.left()) / area.width() * (window.x1 - window.x0),
            lo + (area.bottom() - p.y()) / area.height() * (hi - lo)};
}

Obstacles obstaclesOf(const Data &d, const Geometry &g, const QFontMetricsF &m)
{
    Obstacles o;
    for (const Series &s : d.series) {
        QPointF last;
        for (int i = 0; i < s.points.size(); ++i) {
            const QPointF p = g.toPixel(s.points[i].x(), s.points[i].y(), s.rightAxis);
            if (!usable(p.x()) || !usable(p.y()))
                continue;
            if (s.marker != Series::Marker::None || !s.line)
                o.boxes << QRectF(p - QPointF(3.5, 3.5), QSizeF(7, 7));
            if (s.line && i > 0)
                o.segments << QLineF(last, p);
            last = p;
        }
    }
    for (const Mark &k : d.marks) {
        const double x = g.toPixel(k.x, g.window.y0).x();
        o.segments << QLineF(x, g.area.top(), x, g.area.bottom());
        o.boxes << QRectF(x + 2, g.area.top() + 2, m.horizontalAdvance(k.label) + 4,
                          m.height() + 2);
    }
    for (const Level &l : d.levels) {
        const double y = g.toPixel(g.window.x0, l.y).y();
        o.segments << QLineF(g.area.left(), y, g.area.right(), y);
    }
    if (d.current) {
        const double x = g.toPixel(*d.current, g.window.y0).x();
        o.segments << QLineF(x, g.area.top(), x, g.area.bottom());
    }
    return o;
}

bool covers(const QRectF &r, const Obstacles &o)
{
    for (const QRectF &b : o.boxes) {
        if (r.intersects(b))
            return true;
    }
    const QLineF edges[] = {QLineF(r.topLeft(), r.topRight()), QLineF(r.topRight(), r.bottomRight()),
                            QLineF(r.bottomRight(), r.bottomLeft()),
                            QLineF(r.bottomLeft(), r.topLeft())};
    for (const QLineF &s : o.segments) {
        if (r.contains(s.p1()) || r.contains(s.p2()))
            return true;
        for (const QLineF &e : edges) {
            if (s.intersects(e, nullptr) == QLineF::BoundedIntersection)
                return true;
        }
    }
    return false;
}

Geometry layout(const Data &d, const Window &w, const QRectF &bounds, const QFontMetricsF &m,
                const QLocale &locale)
{
    Geometry g;
    g.bounds = bounds;
    g.window = w;
    g.right = d.usesRightAxis();
    const double line = m.height();
    auto widestTick = [&](double lo, double hi, const Axis &a) {
        double widest = 0;
        const double step = axisStep(a, lo, hi, bounds.height() - 4 * line, YSpacing);
        for (double v : ticks(lo, hi, step))
            widest = std::max(widest, m.horizontalAdvance(tickText(v, step, locale, a.suffix)));
        return widest;
    };
    const double left = Pad + (d.y.title.isEmpty() ? 0 : line + Pad / 2) +
                        widestTick(w.y0, w.y1, d.y) + Pad;
    const double right = g.right ? Pad + (d.y2.title.isEmpty() ? 0 : line + Pad / 2) +
                                       widestTick(w.r0, w.r1, d.y2) + Pad
                                 : Pad + m.horizontalAdvance(QStringLiteral("0000")) / 2;
    const double bottom = Pad / 2 + line + Pad / 2 + (d.x.title.isEmpty() ? 0 : line) + Pad / 2;
    const double top = Pad;
    g.area = QRectF(bounds.left() + left, bounds.top() + top,
                    std::max(10.0, bounds.width() - left - right),
                    std::max(10.0, bounds.height() - top - bottom));

    // The legend: a free corner or side of the frame, else below it.
    const QList<LegendEntry> entries = legendOf(d);
    if (entries.isEmpty())
        return g;
    double widest = 0;
    for (const LegendEntry &e : entries)
        widest = std::max(widest, m.horizontalAdvance(e.text));
    const double rowHeight = line + 2;
    const QSizeF box(SampleLength + 10 + widest + 10, entries.size() * rowHeight + 8);
    if (box.width() < g.area.width() - 2 * Pad && box.height() < g.area.height() - 2 * Pad) {
        const Obstacles o = obstaclesOf(d, g, m);
        const double l = g.area.left() + Pad, r = g.area.right() - Pad - box.width();
        const double t = g.area.top() + Pad, b = g.area.bottom() - Pad - box.height();
        const double cx = (l + r) / 2, cy = (t + b) / 2;
        const QPointF corners[] = {{l, t}, {r, t}, {l, b}, {r, b}, {cx, t},
                                   {cx, b}, {l, cy}, {r, cy}};
        for (const QPointF &c : corners) {
            const QRectF candidate(c, box);
            if (!covers(candidate.adjusted(-3, -3, 3, 3), o)) {
                g.legend = candidate;
                return g;
            }
        }
    }
    // Beside the frame on the right when the plot is wide enough to spare it, else below the
    // frame with as many entries side by side as the width takes.
    g.legendInside = false;
    if (box.width() * 2.2 < bounds.width() && box.height() <= bounds.height() - 2 * Pad) {
        g.legendColumns = 1;
        g.area.setWidth(g.area.width() - box.width() - Pad);
        g.legend = QRectF(QPointF(g.area.right() + right, g.area.top()), box);
        return g;
    }
    const double entryWidth = box.width() + Pad;
    g.legendColumns = std::max(1, int((bounds.width() - 2 * Pad) / entryWidth));
    const int rows = int((entries.size() + g.legendColumns - 1) / g.legendColumns);
    const double height = rows * rowHeight + 8;
    g.area.setHeight(std::max(10.0, g.area.height() - height - Pad / 2));
    g.legend = QRectF(bounds.left() + Pad, g.area.bottom() + bottom + Pad / 2,
                      std::min(bounds.width() - 2 * Pad, g.legendColumns * entryWidth), height);
    return g;
}

} // namespace velmorant::plot
