// A bent pipe's pieces: each cut edge developed point by point from the piece's seam.
#include "mitredpart.h"

#include "cut.h"
#include "offset.h"
#include "partlabel.h"

#include <algorithm>
#include <cmath>

namespace velmorant {

using namespace partlabel;

namespace {

constexpr double ArrowBand = 25; // mm at the port's end kept for the arrow
constexpr double DoubleTickGap = 1.5;

double length(const QList<QPointF> &line)
{
    double l = 0;
    for (int i = 1; i < line.size(); ++i)
        l += std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
    return l;
}

QPointF unitOf(QPointF d)
{
    const double l = std::hypot(d.x(), d.y());
    return l > 0 ? d / l : QPointF();
}

// Where the piece's azimuth `phi` falls on this part, as an offset from its first azimuth, or
// a negative number when it falls on another part of the same piece.
double within(double phi, double phi0, double span)
{
    const double twoPi = 2 * TruePi;
    const double d = std::fmod(std::fmod(phi - phi0, twoPi) + twoPi, twoPi);
    return d <= span + 1e-9 ? d : -1;
}

void addTicks(Part &p, const route::Piece &m, const QList<route::Tick> &ticks,
              const route::CutPlane &edge, const route::CutPlane &other, double phi0,
              double phi1, double tick)
{
    for (const route::Tick &t : ticks) {
        const double d = within(t.phi, phi0, phi1 - phi0);
        if (d < 0)
            continue;
        const double r = route::radiusAt(m, route::cutZ(m, edge, t.phi));
        const QList<double> at = t.inside ? QList<double>{-DoubleTickGap / 2 / r, DoubleTickGap / 2 / r}
                                          : QList<double>{0.0};
        for (double shift : at) {
            const double phi = phi0 + std::clamp(d + shift, 0.0, phi1 - phi0);
            const QPointF a = route::flatPoint(m, phi0, phi1, phi, route::cutZ(m, edge, phi));
            const QPointF b = route::flatPoint(m, phi0, phi1, phi, route::cutZ(m, other, phi));
            p.marks << Stroke{a, a + unitOf(b - a) * tick};
        }
    }
}

} // namespace

void buildMitredPiece(Part &p, const WorkshopOptions &o)
{
    const route::Piece &m = *p.frustum.mitre;
    const double span = 2 * TruePi / p.pieces;
    const double phi0 = m.seam + span * p.piece, phi1 = phi0 + span;
    const route::Flat f = route::develop(m, phi0, phi1);
    p.edgeUp = length(f.up);
    p.edgeDown = length(f.down);
    for (const QPointF &q : f.up)
        p.outline.vertices << ContourVertex{q, 0};
    for (int i = int(f.down.size()) - 1; i >= 0; --i)
        p.outline.vertices << ContourVertex{f.down[i], 0};
    const QPointF seamUp = f.up.first(), seamDown = f.down.first();
    if (p.allowance > 0) {
        // Outwards from the first seam edge: away from the rest of the part.
        const QPointF along = unitOf(seamUp - seamDown);
        QPointF n(along.y(), -along.x());
        if (QPointF::dotProduct(n, f.up[1] - seamUp) > 0)
            n = -n;
        p.outline.vertices << ContourVertex{seamDown + n * p.allowance, 0}
                           << ContourVertex{seamUp + n * p.allowance, 0};
        p.marks << Stroke{seamDown, seamUp};
    }
    const double wall = route::shortestWall(m);
    const double tick = std::min(5.0, wall * 0.2);
    addTicks(p, m, m.ticksUp, m.upstream, m.downstream, phi0, phi1, tick);
    addTicks(p, m, m.ticksDown, m.downstream, m.upstream, phi0, phi1, tick);

    // The label in the band both cuts leave whole across the part, the arrow at the port's end.
    const double mid = (phi0 + phi1) / 2;
    const QPointF up = route::flatPoint(m, phi0, phi1, mid, route::cutZ(m, m.upstream, mid));
    const QPointF down = route::flatPoint(m, phi0, phi1, mid, route::cutZ(m, m.downstream, mid));
    Body body;
    double low = 0, high = 0, across = 0;
    if (f.cone) {
        auto reach = [](const QList<QPointF> &edge, bool most) {
            double v = most ? 0 : 1e300;
            for (const QPointF &q : edge)
                v = most ? std::max(v, std::hypot(q.x(), q.y())) : std::min(v, std::hypot(q.x(), q.y()));
            return v;
        };
        const bool opens = m.taper > 0; // the port's end nearer the apex
        low = opens ? reach(f.up, true) : reach(f.down, true);
        high = opens ? reach(f.down, false) : reach(f.up, false);
        across = (low + high) / 2 * f.sweep;
    } else {
        for (const QPointF &q : f.up)
            low = std::max(low == 0 ? q.y() : low, q.y());
        high = f.down.first().y();
        for (const QPointF &q : f.down)
            high = std::min(high, q.y());
        across = f.up.last().x();
    }
    const double band = std::max(0.0, std::min(ArrowBand, (high - low) * 0.3));
    // Distances along the middle generator from its port's end.
    const bool portAtLow = !f.cone || m.taper > 0;
    const double fromUp = portAtLow ? band : 0, toDown = portAtLow ? 0 : band;
    if (f.cone)
        body = Body{true, low + fromUp, high - toDown, f.sweep / 2, 0, 0, 0};
    else
        body = Body{false, 0, 0, 0, low + band, across, high};
    const double bodyLow = f.cone ? body.r : body.y0, bodyHigh = f.cone ? body.R : body.h;
    const QPointF centre = f.cone ? polar((bodyLow + bodyHigh) / 2, TruePi / 2)
                                  : QPointF(across / 2, (bodyLow + bodyHigh) / 2);
    p.label = fitLabel(body, labelLines(p, o), p.name, centre,
                       (high - low) >= across ? 90 : 0);
    addCentreLine(p.marks, up, down, p.label);
    // The arrow points to the port, as on every straight part.
    if (band > 0) {
        const QPointF inwards(0, portAtLow ? 1 : -1);
        const QPointF start = f.cone ? polar(portAtLow ? low : high, TruePi / 2)
                                     : QPointF(across / 2, low);
        addArrow(p.marks, start + inwards * band * 0.8, start + inwards * band * 0.2);
    }
    p.area = areaOf(p.outline);
    p.cut = o.kerf >= 1e-3 ? offsetOutline(p.outline, o.kerf / 2) : p.outline;
}

QList<Development> mitredStretches(const Development &dev, int count)
{
    if (count <= 1)
        return {dev};
    const route::Piece &whole = *dev.mitre;
    const double sheet = dev.mean1 - dev.d1;
    QList<Development> out;
    for (int j = 0; j < count; ++j) {
        const double z0 = dev.length * j / count, z1 = dev.length * (j + 1) / count;
        Development s = developFrustum(dev.segment, dev.name, z1 - z0,
                                       dev.d1 + (dev.d2 - dev.d1) * z0 / dev.length,
                                       dev.d1 + (dev.d2 - dev.d1) * z1 / dev.length, sheet);
        s.label = dev.label;
        route::Piece piece = whole;
        if (j > 0) {
            piece.upstream = route::CutPlane{0, 0, 1, z0};
            piece.mitredUp = false;
        }
        if (j + 1 < count) {
            piece.downstream = route::CutPlane{0, 0, 1, z1};
            piece.mitredDown = false;
        }
        if (!(route::shortestWall(piece) > 0))
            return {};
        // The marks of a square cut are the quarters of the bend's inside.
        if (j > 0)
            piece.ticksUp = whole.ticksDown;
        if (j + 1 < count)
            piece.ticksDown = whole.ticksUp;
        s.mitre = piece;
        out << s;
    }
    return out;
}

} // namespace velmorant
