#include "contour.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

double length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

QPointF at(const ArcEdge &arc, double angle)
{
    return arc.centre + arc.radius * QPointF(std::cos(angle), std::sin(angle));
}


bool polygonContains(const QPolygonF &poly, QPointF p)
{
    bool inside = false;
    for (int i = 0, j = int(poly.size()) - 1; i < poly.size(); j = i++) {
        const QPointF a = poly[i], b = poly[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

} // namespace

bool onSweep(const ArcEdge &arc, double angle)
{
    double d = std::remainder(angle - arc.start, 2 * Pi);
    if (arc.sweep >= 0) {
        if (d < 0)
            d += 2 * Pi;
        return d <= arc.sweep;
    }
    if (d > 0)
        d -= 2 * Pi;
    return d >= arc.sweep;
}

ArcEdge arcOf(QPointF from, QPointF to, double bulge)
{
    ArcEdge arc;
    arc.sweep = 4 * std::atan(bulge);
    const QPointF chord = to - from;
    const double c = length(chord);
    const QPointF mid = (from + to) / 2;
    const QPointF left(-chord.y() / c, chord.x() / c);
    arc.centre = mid + left * (c / 2 / std::tan(arc.sweep / 2));
    arc.radius = std::abs(c / (2 * std::sin(arc.sweep / 2)));
    const QPointF r = from - arc.centre;
    arc.start = std::atan2(r.y(), r.x());
    return arc;
}

double bulgeFor(double sweep)
{
    return std::tan(sweep / 4);
}

Contour transformed(const Contour &c, const QTransform &t)
{
    Contour out = c;
    for (ContourVertex &v : out.vertices)
        v.p = t.map(v.p);
    return out;
}

Stroke transformed(const Stroke &s, const QTransform &t)
{
    return {t.map(s.a), t.map(s.b), s.dashed};
}

QPolygonF polygonOf(const Contour &c, double tolerance)
{
    QPolygonF poly;
    const int n = int(c.vertices.size());
    for (int i = 0; i < n; ++i) {
        const ContourVertex &v = c.vertices[i];
        poly << v.p;
        if (v.bulge == 0)
            continue;
        const ArcEdge arc = arcOf(v.p, c.vertices[(i + 1) % n].p, v.bulge);
        // Chords of angle step δ stray from the arc by at most R (1 - cos(δ/2)).
        // An arc too large for any sheet still gets a bounded number of chords.
        constexpr double MaxChords = 4096;
        const double step = tolerance >= arc.radius
                                ? Pi / 2
                                : std::min(Pi / 2, 2 * std::acos(1 - tolerance / arc.radius));
        const int pieces = int(std::clamp(std::ceil(std::abs(arc.sweep) / step), 1.0, MaxChords));
        for (int k = 1; k < pieces; ++k)
            poly << at(arc, arc.start + arc.sweep * k / pieces);
    }
    return poly;
}

QRectF boundsOf(const Contour &c)
{
    const int n = int(c.vertices.size());
    if (n == 0)
        return {};
    double x0 = c.vertices[0].p.x(), x1 = x0, y0 = c.vertices[0].p.y(), y1 = y0;
    auto add = [&](QPointF p) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    };
    for (int i = 0; i < n; ++i) {
        const ContourVertex &v = c.vertices[i];
        add(v.p);
        if (v.bulge == 0)
            continue;
        const ArcEdge arc = arcOf(v.p, c.vertices[(i + 1) % n].p, v.bulge);
        for (double angle : {0.0, Pi / 2, Pi, -Pi / 2}) {
            if (onSweep(arc, angle))
                add(at(arc, angle));
        }
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

double areaOf(const Contour &c)
{
    const int n = int(c.vertices.size());
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const ContourVertex &v = c.vertices[i];
        const QPointF next = c.vertices[(i + 1) % n].p;
        area += cross(v.p, next) / 2;
        if (v.bulge != 0) {
            const ArcEdge arc = arcOf(v.p, next, v.bulge);
            area += arc.radius * arc.radius / 2 * (arc.sweep - std::sin(arc.sweep));
        }
    }
    return area;
}

QPainterPath pathOf(const Contour &c)
{
    QPainterPath path;
    const int n = int(c.vertices.size());
    path.moveTo(c.vertices[0].p);
    for (int i = 0; i < n; ++i) {
        const ContourVertex &v = c.vertices[i];
        const QPointF next = c.vertices[(i + 1) % n].p;
        if (v.bulge == 0) {
            path.lineTo(next);
            continue;
        }
        const ArcEdge arc = arcOf(v.p, next, v.bulge);
        const QRectF box(arc.centre - QPointF(arc.radius, arc.radius),
                         QSizeF(2 * arc.radius, 2 * arc.radius));
        const int pieces = std::max(1, int(std::ceil(std::abs(arc.sweep) / (10 * Pi / 180))));
        // Qt's angles run counter-clockwise on a y-down page; these coordinates are y-up.
        for (int k = 0; k < pieces; ++k)
            path.arcTo(box, -(arc.start + arc.sweep * k / pieces) * 180 / Pi,
                       -arc.sweep / pieces * 180 / Pi);
    }
    path.closeSubpath();
    return path;
}

bool contains(const Contour &c, QPointF p)
{
    // Inside the polygon of the vertices, corrected by the circular segment between each arc
    // and its chord: those of outward arcs add to the inside, those of inward arcs take away.
    QPolygonF vertices;
    for (const ContourVertex &v : c.vertices)
        vertices << v.p;
    bool inside = polygonContains(vertices, p);
    const int n = int(c.vertices.size());
    for (int i = 0; i < n; ++i) {
        const ContourVertex &v = c.vertices[i];
        if (v.bulge == 0)
            continue;
        const QPointF next = c.vertices[(i + 1) % n].p;
        const ArcEdge arc = arcOf(v.p, next, v.bulge);
        const QPointF r = p - arc.centre;
        if (length(r) > arc.radius || !onSweep(arc, std::atan2(r.y(), r.x())))
            continue;
        // On the arc's side of the chord (the sagitta side).
        const QPointF mid = at(arc, arc.start + arc.sweep / 2);
        const double side = cross(next - v.p, p - v.p), arcSide = cross(next - v.p, mid - v.p);
        if ((side > 0) == (arcSide > 0))
            inside = !inside;
    }
    return inside;
}

} // namespace velmorant
