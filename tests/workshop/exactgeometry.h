#pragma once

// The exact distance between two outlines made of segments and circular arcs, to check the
// nesting independently of the grid it works on.
#include "contour.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::test {

struct Edge
{
    QPointF a, b;
    bool isArc = false;
    ArcEdge arc;
};

inline QList<Edge> exactEdgesOf(const Contour &c)
{
    QList<Edge> out;
    const int n = int(c.vertices.size());
    for (int i = 0; i < n; ++i) {
        Edge e{c.vertices[i].p, c.vertices[(i + 1) % n].p, c.vertices[i].bulge != 0, {}};
        if (e.isArc)
            e.arc = arcOf(e.a, e.b, c.vertices[i].bulge);
        out << e;
    }
    return out;
}

inline double len(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

inline bool sweepHolds(const ArcEdge &arc, double angle)
{
    const double pi = 3.14159265358979323846;
    double d = std::remainder(angle - arc.start, 2 * pi);
    if (arc.sweep >= 0) {
        if (d < 0)
            d += 2 * pi;
        return d <= arc.sweep + 1e-12;
    }
    if (d > 0)
        d -= 2 * pi;
    return d >= arc.sweep - 1e-12;
}

inline QPointF nearestOnSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double l2 = d.x() * d.x() + d.y() * d.y();
    const double t =
        l2 > 0 ? std::clamp(((p - a).x() * d.x() + (p - a).y() * d.y()) / l2, 0.0, 1.0) : 0.0;
    return a + t * d;
}

inline double pointToEdge(QPointF p, const Edge &e)
{
    if (!e.isArc)
        return len(p - nearestOnSegment(p, e.a, e.b));
    const QPointF r = p - e.arc.centre;
    if (len(r) > 0 && sweepHolds(e.arc, std::atan2(r.y(), r.x())))
        return std::abs(len(r) - e.arc.radius);
    return std::min(len(p - e.a), len(p - e.b));
}

inline bool segmentsCross(QPointF a, QPointF b, QPointF c, QPointF d)
{
    auto side = [](QPointF p, QPointF q, QPointF r) {
        return (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
    };
    const double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0));
}

// Points where a segment meets an arc's circle and lie on both.
inline bool segmentMeetsArc(QPointF a, QPointF b, const ArcEdge &arc)
{
    const QPointF d = b - a, f = a - arc.centre;
    const double A = d.x() * d.x() + d.y() * d.y(), B = 2 * (f.x() * d.x() + f.y() * d.y()),
                 C = f.x() * f.x() + f.y() * f.y() - arc.radius * arc.radius;
    const double disc = B * B - 4 * A * C;
    if (A == 0 || disc < 0)
        return false;
    for (double t : {(-B - std::sqrt(disc)) / (2 * A), (-B + std::sqrt(disc)) / (2 * A)}) {
        if (t < 0 || t > 1)
            continue;
        const QPointF r = a + t * d - arc.centre;
        if (sweepHolds(arc, std::atan2(r.y(), r.x())))
            return true;
    }
    return false;
}

inline bool arcsMeet(const ArcEdge &p, const ArcEdge &q)
{
    const QPointF d = q.centre - p.centre;
    const double dist = len(d);
    if (dist == 0 || dist > p.radius + q.radius || dist < std::abs(p.radius - q.radius))
        return false;
    const double a = (p.radius * p.radius - q.radius * q.radius + dist * dist) / (2 * dist);
    const double h = std::sqrt(std::max(0.0, p.radius * p.radius - a * a));
    const QPointF m = p.centre + d * (a / dist), n(-d.y() / dist, d.x() / dist);
    for (QPointF x : {m + n * h, m - n * h}) {
        const QPointF rp = x - p.centre, rq = x - q.centre;
        if (sweepHolds(p, std::atan2(rp.y(), rp.x())) && sweepHolds(q, std::atan2(rq.y(), rq.x())))
            return true;
    }
    return false;
}

inline double edgeToEdge(const Edge &e, const Edge &f)
{
    if (!e.isArc && !f.isArc && segmentsCross(e.a, e.b, f.a, f.b))
        return 0;
    if (e.isArc != f.isArc) {
        const Edge &s = e.isArc ? f : e;
        const Edge &c = e.isArc ? e : f;
        if (segmentMeetsArc(s.a, s.b, c.arc))
            return 0;
    }
    if (e.isArc && f.isArc && arcsMeet(e.arc, f.arc))
        return 0;
    double best = std::min(
        {pointToEdge(e.a, f), pointToEdge(e.b, f), pointToEdge(f.a, e), pointToEdge(f.b, e)});
    // Interior extremes: a segment's point nearest an arc's centre, and the points of two arcs
    // on the line of their centres.
    auto arcCandidates = [&](const Edge &arcEdge, const Edge &other) {
        const ArcEdge &arc = arcEdge.arc;
        QList<QPointF> towards;
        if (other.isArc)
            towards << other.arc.centre;
        else
            towards << nearestOnSegment(arc.centre, other.a, other.b);
        for (QPointF t : towards) {
            const QPointF r = t - arc.centre;
            if (len(r) == 0)
                continue;
            for (double sign : {1.0, -1.0}) {
                const QPointF dir = r * (sign / len(r));
                if (sweepHolds(arc, std::atan2(dir.y(), dir.x())))
                    best = std::min(best, pointToEdge(arc.centre + dir * arc.radius, other));
            }
        }
    };
    if (e.isArc)
        arcCandidates(e, f);
    if (f.isArc)
        arcCandidates(f, e);
    return best;
}

// 0 when the outlines cross or one lies inside the other.
inline double distance(const Contour &c, const Contour &d)
{
    if (contains(c, d.vertices[0].p) || contains(d, c.vertices[0].p))
        return 0;
    double best = std::numeric_limits<double>::max();
    const QList<Edge> ec = exactEdgesOf(c), ed = exactEdgesOf(d);
    for (const Edge &e : ec)
        for (const Edge &f : ed)
            best = std::min(best, edgeToEdge(e, f));
    return best;
}

} // namespace velmorant::test
