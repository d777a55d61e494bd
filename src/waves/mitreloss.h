#pragma once

#include <vector>

namespace velmorant::waves {

// A mitre joint of a bent pipe: where it is along the centreline and how far it turns the axis.
struct MitreJoint
{
    double atMm = 0;
    double angleDeg = 0;
};

// The loss coefficient of one sharp-edged (mitre) joint turning by `angleDeg` at Reynolds
// number `reynolds`, total pressure lost = K rho u |u| / 2 (Idelchik, diagram 6-7, with Miller's
// Reynolds correction): K = A zeta CF, A = 0.95 + 33.5 / angle, zeta = 0.95 sin^2(angle / 2) +
// 2.05 sin^4(angle / 2), CF = 24.8 Re^-0.263 below Re 1e5, 1 above 2e5, a smooth step between.
double mitreLoss(double angleDeg, double reynolds);
// The same without its Reynolds correction (Re of 2e5 and above): A zeta.
double mitreLossTurbulent(double angleDeg);
// The Reynolds correction alone.
double mitreReynoldsFactor(double reynolds);

// The dynamic viscosity of exhaust gas (taken as air's, Sutherland's law), Pa s, at `kelvin`.
double gasViscosity(double kelvin);

} // namespace velmorant::waves
