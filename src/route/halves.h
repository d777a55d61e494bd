#pragma once

#include "layout.h"

#include <QList>
#include <QPointF>

namespace velmorant::route {

// What the flat of a bend made as two pressed or hydroformed halves needs: where it runs along
// the centreline, its mean diameters there and its joints' places and turns.
struct HalvesBend
{
    int bend = 0;
    double fromMm = 0, toMm = 0;
    double d1 = 0, d2 = 0; // mean diameters (inside + sheet) at its ends
    QList<double> jointsMm, turnsDeg;
};

// The bend of `layout`'s halves span `span` on `pipe`, its diameters on the sheet's mid-surface.
HalvesBend halvesBend(const Pipe &pipe, const RouteLayout &layout, const HalvesSpan &span,
                      double sheetMm);

struct HalvesRules
{
    double marginMm = 5;    // of sheet beyond each seam, for the weld
    double stretchPct = 0;  // the sheet grows this much round the half as it is inflated
};

// One half's flat outline, to first order: the seams do not stretch. It is half the
// circumference wide (pi D / 2, less the stretch) plus a weld margin each side; a cone's flat
// is shorter than its axis, sqrt(L^2 + (dD/2)^2 - (pi dD/4)^2) for L, so that its seams keep
// their length; each joint turns the flat by d, tan(d/2) = (2/pi) tan(delta/2), since the seam
// lies pi/2 times farther from the middle of the flat than from the axis. The flat starts at
// the origin heading along +y, turning towards -x (the bend's inside) at each joint.
struct HalfFlat
{
    QList<QPointF> crown;           // the middle of the flat, at the ends and at each joint
    QList<QPointF> seamIn, seamOut; // the seams' lines on the bend's inside and outside
    QList<QPointF> edgeIn, edgeOut; // the outline's sides, the weld margin beyond the seams
    QList<double> turnsDeg;         // the flat's turn at each joint
    QList<double> halfWidth;        // from the crown to each seam, at each station
};
HalfFlat developHalves(const HalvesBend &bend, const HalvesRules &rules);

// The flat's turn for a joint of `jointDeg`, and the flat length of a cone `length` long whose
// diameter changes by `dD` (not a number when a cone is so steep no flat gives its seams).
double flatTurnDeg(double jointDeg);
double flatConeLength(double length, double dD);

} // namespace velmorant::route
