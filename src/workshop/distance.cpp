#include "distance.h"

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;

double dot(QPointF u, QPointF v)
{
    return u.x() * v.x() + u.y() * v.y();
}

double cross(QPointF u, QPointF v)
{
    return u.x() * v.y() - u.y() * v.x();
}

double norm(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

bool onArc(const ArcEdge &arc, QPointF p)
{
    const QPointF r = p - arc.centre;
    return onSweep(arc, std::atan2(r.y(), r.x()));
}

double pointSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double len2 = dot(d, d);
    const double t = len2 > 0 ? std::clamp(dot(p - a, d) / len2, 0.0, 1.0) : 0.0;
    return norm(p - (a + t * d));
}

double pointArc(QPointF p, const Edge &e)
{
    const QPointF r = p - e.circle.centre;
    const double d = norm(r);
    if (d == 0 || onSweep(e.circle, std::atan2(r.y(), r.x())))
        return std::abs(d - e.circle.radius);
    return std::min(norm(p - e.a), norm(p - e.b));
}

bool segmentsCross(QPointF a, QPointF b, QPointF c, QPointF d)
{
    const double d1 = cross(b - a, c - a), d2 = cross(b - a, d - a);
    const double d3 = cross(d - c, a - c), d4 = cross(d - c, b - c);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    // Touching ends and collinear overlaps are found by the end-point distances (zero there).
    return false;
}

// A segment and an arc: their crossings, then the common normal through the arc's centre.
double segmentArc(const Edge &s, const Edge &arc)
{
    const QPointF d = s.b - s.a;
    const double len = norm(d);
    const QPointF c = arc.circle.centre;
    const double r = arc.circle.radius;
    double best = std::min({pointArc(s.a, arc), pointArc(s.b, arc), pointSegment(arc.a, s.a, s.b),
                            pointSegment(arc.b, s.a, s.b)});
    if (len == 0)
        return best;
    const QPointF u = d / len, n(-u.y(), u.x());
    const double t = dot(c - s.a, u); // the centre's foot on the line, from a
    const double h = dot(c - s.a, n); // its signed distance from the line
    if (std::abs(h) <= r) {
        const double half = std::sqrt(r * r - h * h);
        for (double x : {t - half, t + half}) {
            if (x >= 0 && x <= len && onArc(arc.circle, s.a + x * u))
                return 0;
        }
    }
    if (t >= 0 && t <= len) {
        const QPointF foot = s.a + t * u;
        for (double side : {-1.0, 1.0}) {
            const QPointF q = c + side * r * n;
            if (onArc(arc.circle, q))
                best = std::min(best, norm(foot - q));
        }
    }
    return best;
}

// Two arcs: their crossings, then the line of centres (the common normal of two circles).
double arcArc(const Edge &e, const Edge &f)
{
    double best = std::min(
        {pointArc(e.a, f), pointArc(e.b, f), pointArc(f.a, e), pointArc(f.b, e)});
    const QPointF c1 = e.circle.centre, c2 = f.circle.centre;
    const double r1 = e.circle.radius, r2 = f.circle.radius;
    const QPointF between = c2 - c1;
    const double d = norm(between);
    if (d == 0) {
        // Concentric: the radial gap wherever their sweeps overlap.
        for (const Edge *g : {&e, &f}) {
            const Edge &other = g == &e ? f : e;
            for (QPointF p : {g->a, g->b}) {
                if (onArc(other.circle, other.circle.centre + (p - g->circle.centre)))
                    best = std::min(best, std::abs(r1 - r2));
            }
        }
        return best;
    }
    const QPointF u = between / d;
    if (d <= r1 + r2 && d >= std::abs(r1 - r2)) {
        const double x = (d * d + r1 * r1 - r2 * r2) / (2 * d);
        const double y = std::sqrt(std::max(0.0, r1 * r1 - x * x));
        const QPointF n(-u.y(), u.x());
        for (double side : {-1.0, 1.0}) {
            const QPointF p = c1 + x * u + side * y * n;
            if (onArc(e.circle, p) && onArc(f.circle, p))
                return 0;
        }
    }
    for (double s1 : {-1.0, 1.0}) {
        const QPointF p = c1 + s1 * r1 * u;
        if (!onArc(e.circle, p))
            continue;
        for (double s2 : {-1.0, 1.0}) {
            const QPointF q = c2 + s2 * r2 * u;
            if (onArc(f.circle, q))
                best = std::min(best, norm(p - q));
        }
    }
    return best;
}

// The gap between two boxes, squared: compared against a squared distance, no root taken.
double boxGapSquared(const QRectF &a, const QRectF &b)
{
    const double dx = std::max({0.0, a.left() - b.right(), b.left() - a.right()});
    const double dy = std::max({0.0, a.top() - b.bottom(), b.top() - a.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

std::vector<Edge> edgesOf(const Contour &c)
{
    std::vector<Edge> edges;
    const int n = int(c.vertices.size());
    edges.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        Edge e;
        e.a = c.vertices[i].p;
        e.b = c.vertices[(i + 1) % n].p;
        e.arc = c.vertices[i].bulge != 0 && e.a != e.b;
        if (e.arc) {
            e.circle = arcOf(e.a, e.b, c.vertices[i].bulge);
            Contour one;
            one.vertices = {{e.a, c.vertices[i].bulge}, {e.b, 0}};
            // The closed chain a-b-a: its bounds are the arc's own, chord included.
            e.bounds = boundsOf(one);
        } else {
            e.bounds = QRectF(e.a, e.b).normalized();
        }
        edges.push_back(e);
    }
    return edges;
}

double edgeDistance(const Edge &e, const Edge &f)
{
    if (e.arc && f.arc)
        return arcArc(e, f);
    if (e.arc)
        return segmentArc(f, e);
    if (f.arc)
        return segmentArc(e, f);
    if (segmentsCross(e.a, e.b, f.a, f.b))
        return 0;
    return std::min({pointSegment(e.a, f.a, f.b), pointSegment(e.b, f.a, f.b),
                     pointSegment(f.a, e.a, e.b), pointSegment(f.b, e.a, e.b)});
}

double outlineDistance(const std::vector<Edge> &a, const std::vector<Edge> &b, double atMost)
{
    double best = atMost;
    // An outline drawn point by point has hundreds of edges: those of `a` farther from the whole
    // of `b` than the best so far are passed over at once.
    QRectF whole;
    for (const Edge &f : b)
        whole = whole.isNull() ? f.bounds : whole.united(f.bounds);
    for (const Edge &e : a) {
        if (boxGapSquared(e.bounds, whole) >= best * best)
            continue;
        for (const Edge &f : b) {
            if (boxGapSquared(e.bounds, f.bounds) >= best * best)
                continue;
            best = std::min(best, edgeDistance(e, f));
            if (best == 0)
                return 0;
        }
    }
    return best;
}

} // namespace velmorant
