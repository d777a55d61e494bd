#include "halvespart.h"

#include "offset.h"
#include "partlabel.h"

#include <algorithm>
#include <cmath>

namespace velmorant {

using namespace partlabel;

namespace {

constexpr double ArrowBand = 25; // mm at the port's end kept for the arrow
constexpr double JointMark = 4;  // mm each side of the middle line

double signedArea(const QList<QPointF> &ring)
{
    double a = 0;
    for (int i = 0; i < ring.size(); ++i) {
        const QPointF &p = ring[i], &q = ring[(i + 1) % ring.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a / 2;
}

void addLine(QList<Stroke> &marks, const QList<QPointF> &line)
{
    for (int i = 1; i < line.size(); ++i)
        marks << Stroke{line[i - 1], line[i]};
}

} // namespace

void buildHalvesPiece(Part &p, const WorkshopOptions &o)
{
    route::HalfFlat f = route::developHalves(*p.frustum.halves,
                                             route::HalvesRules{o.halvesMargin, o.halvesStretch});
    p.allowance = 0;
    p.edgeUp = 2 * f.halfWidth.first();
    p.edgeDown = 2 * f.halfWidth.last();
    // The longest straight stretch of the middle line takes the label: turn the flat so that
    // it runs up the y axis from the origin's height, its inside seam at x = 0.
    int longest = 0;
    auto lengthOf = [&](int i) { return QLineF(f.crown[i], f.crown[i + 1]).length(); };
    for (int i = 1; i + 1 < f.crown.size(); ++i) {
        if (lengthOf(i) > lengthOf(longest))
            longest = i;
    }
    const QPointF run = f.crown[longest + 1] - f.crown[longest];
    const double turn = TruePi / 2 - std::atan2(run.y(), run.x());
    const double c = std::cos(turn), s = std::sin(turn);
    const double wide = std::min(f.halfWidth[longest], f.halfWidth[longest + 1]);
    const QPointF origin = f.crown[longest];
    auto place = [&](QList<QPointF> &line) {
        for (QPointF &q : line) {
            const QPointF d = q - origin;
            q = QPointF(c * d.x() - s * d.y() + wide, s * d.x() + c * d.y());
        }
    };
    for (QList<QPointF> *line : {&f.crown, &f.seamIn, &f.seamOut, &f.edgeIn, &f.edgeOut})
        place(*line);

    QList<QPointF> ring = f.edgeOut;
    for (int i = int(f.edgeIn.size()) - 1; i >= 0; --i)
        ring << f.edgeIn[i];
    if (signedArea(ring) < 0)
        std::reverse(ring.begin(), ring.end());
    for (const QPointF &q : ring)
        p.outline.vertices << ContourVertex{q, 0};

    if (o.halvesMargin > 0) {
        addLine(p.marks, f.seamIn);
        addLine(p.marks, f.seamOut);
    }
    // Across the middle line where each joint of the bend's centreline falls.
    for (int k = 1; k + 1 < f.crown.size(); ++k) {
        const QPointF across = f.seamIn[k] - f.crown[k];
        const double l = std::hypot(across.x(), across.y());
        if (l > 0)
            p.marks << Stroke{f.crown[k] - across / l * JointMark, f.crown[k] + across / l * JointMark};
    }

    // The label in the longest stretch, clear of the turns at its ends.
    const double length = lengthOf(longest);
    // The turn at station k (a joint) is turnsDeg[k - 1]; the ends do not turn.
    auto cornerCut = [&](int station) {
        return station >= 1 && station <= f.turnsDeg.size()
                   ? wide * std::tan(std::abs(f.turnsDeg[station - 1]) * Deg / 2)
                   : 0.0;
    };
    const double inAtStart = cornerCut(longest), inAtEnd = cornerCut(longest + 1);
    const double low = inAtStart, high = length - inAtEnd;
    const double band = std::max(0.0, std::min(ArrowBand, (high - low) * 0.3));
    const Body body{false, 0, 0, 0, low + band, 2 * wide, high};
    p.label = fitLabel(body, labelLines(p, o), p.name, QPointF(wide, (low + band + high) / 2),
                       (high - low) >= 2 * wide ? 90 : 0);
    for (int i = 0; i + 1 < f.crown.size(); ++i) {
        if (i == longest)
            addCentreLine(p.marks, f.crown[i], f.crown[i + 1], p.label);
        else
            p.marks << Stroke{f.crown[i], f.crown[i + 1], true};
    }
    // The flat starts at the port's end: the arrow points back along the stretch.
    if (band > 0)
        addArrow(p.marks, QPointF(wide, low + band * 0.8), QPointF(wide, low + band * 0.2));
    p.area = areaOf(p.outline);
    p.cut = o.kerf >= 1e-3 ? offsetOutline(p.outline, o.kerf / 2) : p.outline;
}

} // namespace velmorant
