#include "halves.h"

#include "placement.h"

#include <cmath>
#include <limits>

namespace velmorant::route {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Deg = Pi / 180;

QPointF along(double heading)
{
    return {std::cos(heading), std::sin(heading)};
}

} // namespace

double flatTurnDeg(double jointDeg)
{
    return 2 * std::atan(2 / Pi * std::tan(jointDeg * Deg / 2)) / Deg;
}

double flatConeLength(double length, double dD)
{
    const double square = length * length + dD * dD / 4 - Pi * Pi * dD * dD / 16;
    return square > 0 ? std::sqrt(square) : std::numeric_limits<double>::quiet_NaN();
}

HalvesBend halvesBend(const Pipe &pipe, const RouteLayout &layout, const HalvesSpan &span,
                      double sheetMm)
{
    HalvesBend out;
    out.bend = span.bend;
    out.fromMm = span.fromMm;
    out.toMm = span.toMm;
    const int i = placement::sectionAt(pipe, (span.fromMm + span.toMm) / 2);
    const PipeSection &s = pipe.sections[i];
    auto mean = [&](double x) {
        return s.dIn + (s.dOut - s.dIn) * (x - pipe.start(i)) / s.length + sheetMm;
    };
    out.d1 = mean(span.fromMm);
    out.d2 = mean(span.toMm);
    for (const Joint &j : layout.joints) {
        if (j.bend == span.bend) {
            out.jointsMm << j.atMm;
            out.turnsDeg << j.angleDeg;
        }
    }
    return out;
}

HalfFlat developHalves(const HalvesBend &bend, const HalvesRules &rules)
{
    HalfFlat f;
    const double axial = bend.toMm - bend.fromMm;
    // Flat length per millimetre of axis: one on a tube, less on a cone.
    const double shrink = axial > 0 ? flatConeLength(axial, bend.d2 - bend.d1) / axial : 1;
    QList<double> stations{bend.fromMm};
    stations << bend.jointsMm << bend.toMm;
    QList<double> turns{0};
    for (double t : bend.turnsDeg)
        turns << flatTurnDeg(t) * Deg;
    turns << 0;
    const double stretch = 1 + rules.stretchPct / 100;
    QPointF at(0, 0);
    double heading = Pi / 2;
    for (int k = 0; k < stations.size(); ++k) {
        if (k > 0)
            at += along(heading) * (stations[k] - stations[k - 1]) * shrink;
        const double d = bend.d1 + (bend.d2 - bend.d1) * (stations[k] - bend.fromMm) /
                                       (axial > 0 ? axial : 1);
        const double seam = Pi * d / 4 / stretch;
        // Across the flat at an end; along the bisector of the turn at a joint, so that both
        // sides keep their distance from the middle.
        const double before = heading, after = heading + turns[k];
        const QPointF left = along((before + after) / 2 + Pi / 2) / std::cos(turns[k] / 2);
        f.crown << at;
        f.halfWidth << seam;
        f.seamIn << at + left * seam;
        f.seamOut << at - left * seam;
        f.edgeIn << at + left * (seam + rules.marginMm);
        f.edgeOut << at - left * (seam + rules.marginMm);
        if (k > 0 && k + 1 < stations.size())
            f.turnsDeg << turns[k] / Deg;
        heading = after;
    }
    return f;
}

} // namespace velmorant::route
