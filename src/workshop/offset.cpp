#include "offset.h"

#include <cmath>

namespace velmorant {

namespace {

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

double dot(QPointF a, QPointF b)
{
    return a.x() * b.x() + a.y() * b.y();
}

double norm(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// One edge and what the offset needs of it.
struct Piece
{
    QPointF a, b;
    double bulge = 0;
    ArcEdge arc;        // when bulge != 0
    QPointF tA, tB;     // unit tangents at a and b, along the edge
    QPointF nA, nB;     // outward normals there (right of the tangent: the contour runs
                        // counter-clockwise)
};

Piece pieceOf(QPointF a, QPointF b, double bulge)
{
    Piece p{a, b, bulge, {}, {}, {}, {}, {}};
    if (bulge == 0) {
        const QPointF t = (b - a) / norm(b - a);
        p.tA = p.tB = t;
    } else {
        p.arc = arcOf(a, b, bulge);
        const double s = p.arc.sweep > 0 ? 1 : -1;
        for (auto [pt, t] : {std::pair{a, &p.tA}, std::pair{b, &p.tB}}) {
            const QPointF u = (pt - p.arc.centre) / p.arc.radius;
            *t = s * QPointF(-u.y(), u.x());
        }
    }
    p.nA = QPointF(p.tA.y(), -p.tA.x());
    p.nB = QPointF(p.tB.y(), -p.tB.x());
    return p;
}

// The moved edge: a line, or a circle about the same centre.
struct Moved
{
    QPointF a, b;
    bool arc = false;
    QPointF centre;
    double radius = 0, sweep = 0;
};

Moved moved(const Piece &p, double d)
{
    Moved m{p.a + d * p.nA, p.b + d * p.nB, p.bulge != 0, {}, 0, 0};
    if (m.arc) {
        m.centre = p.arc.centre;
        m.radius = norm(m.a - m.centre);
        m.sweep = p.arc.sweep;
    }
    return m;
}

// Where two moved edges meet, nearest to the corner `v` they came from.
QPointF meet(const Moved &e, const Moved &f, QPointF v)
{
    QPointF best = (e.b + f.a) / 2;
    double bestDistance = 1e300;
    auto consider = [&](QPointF x) {
        if (norm(x - v) < bestDistance) {
            bestDistance = norm(x - v);
            best = x;
        }
    };
    auto lineCircle = [&](QPointF p, QPointF q, QPointF c, double r) {
        const QPointF d = (q - p) / norm(q - p);
        const double t = dot(c - p, d), h2 = r * r - (norm(c - p) * norm(c - p) - t * t);
        if (h2 < 0)
            return;
        for (double s : {-1.0, 1.0})
            consider(p + (t + s * std::sqrt(h2)) * d);
    };
    if (!e.arc && !f.arc) {
        const QPointF r = e.b - e.a, s = f.b - f.a;
        const double den = cross(r, s);
        if (std::abs(den) > 1e-15)
            consider(e.a + r * (cross(f.a - e.a, s) / den));
    } else if (e.arc != f.arc) {
        const Moved &line = e.arc ? f : e, &circle = e.arc ? e : f;
        lineCircle(line.a, line.b, circle.centre, circle.radius);
    } else {
        const QPointF between = f.centre - e.centre;
        const double dd = norm(between);
        if (dd > 0) {
            const double x = (dd * dd + e.radius * e.radius - f.radius * f.radius) / (2 * dd);
            const double y2 = e.radius * e.radius - x * x;
            if (y2 >= 0) {
                const QPointF u = between / dd, n(-u.y(), u.x());
                for (double s : {-1.0, 1.0})
                    consider(e.centre + x * u + s * std::sqrt(y2) * n);
            }
        }
    }
    return best;
}

// The bulge of the part of a moved arc between `from` and `to`, turning as the arc does.
double bulgeBetween(const Moved &m, QPointF from, QPointF to)
{
    const double a0 = std::atan2(from.y() - m.centre.y(), from.x() - m.centre.x());
    const double a1 = std::atan2(to.y() - m.centre.y(), to.x() - m.centre.x());
    double sweep = std::remainder(a1 - a0, 2 * 3.14159265358979323846);
    // The trimmed arc keeps the direction of the whole, and never more than its turn.
    if (m.sweep > 0 && sweep < 0)
        sweep += 2 * 3.14159265358979323846;
    if (m.sweep < 0 && sweep > 0)
        sweep -= 2 * 3.14159265358979323846;
    return bulgeFor(sweep);
}

} // namespace

Contour offsetOutline(const Contour &outline, double d)
{
    Contour c = outline;
    const int n = int(c.vertices.size());
    if (n < 2 || !(d > 0))
        return c;
    if (areaOf(c) < 0) {
        // Run it counter-clockwise: reversed, each edge's bulge with the other sign.
        Contour r;
        for (int i = n - 1; i >= 0; --i)
            r.vertices << ContourVertex{c.vertices[(i + 1) % n].p, -c.vertices[i].bulge};
        c = r;
    }
    QList<Piece> pieces;
    for (int i = 0; i < n; ++i)
        pieces << pieceOf(c.vertices[i].p, c.vertices[(i + 1) % n].p, c.vertices[i].bulge);
    QList<Moved> edges;
    for (const Piece &p : pieces)
        edges << moved(p, d);

    // Each corner: rounded when convex, trimmed when concave, nothing when the edges run on.
    QList<QPointF> starts, ends;
    QList<double> joins; // the bulge of the rounding after edge i, 0 for none
    for (int i = 0; i < n; ++i) {
        starts << edges[i].a;
        ends << edges[i].b;
        joins << 0;
    }
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const double turn = cross(pieces[i].tB, pieces[j].tA);
        const double along = dot(pieces[i].tB, pieces[j].tA);
        if (std::abs(turn) < 1e-12 && along > 0)
            continue;
        if (turn > 0 || (std::abs(turn) < 1e-12 && along < 0)) {
            const double angle = std::atan2(cross(pieces[i].nB, pieces[j].nA),
                                            dot(pieces[i].nB, pieces[j].nA));
            joins[i] = bulgeFor(angle);
        } else {
            const QPointF x = meet(edges[i], edges[j], pieces[i].b);
            ends[i] = x;
            starts[j] = x;
        }
    }
    Contour out;
    for (int i = 0; i < n; ++i) {
        const bool whole = starts[i] == edges[i].a && ends[i] == edges[i].b;
        const double bulge = !edges[i].arc ? 0.0
                             : whole       ? pieces[i].bulge
                                           : bulgeBetween(edges[i], starts[i], ends[i]);
        out.vertices << ContourVertex{starts[i], bulge};
        if (joins[i] != 0)
            out.vertices << ContourVertex{ends[i], joins[i]};
    }
    return out;
}

} // namespace velmorant
