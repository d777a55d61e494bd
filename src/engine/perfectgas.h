#pragma once

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

// One perfect gas: the ratio of specific heats and the gas constant, J/(kg K).
struct Gas
{
    double gamma = 1.35;
    double r = 287;

    double cp() const { return gamma * r / (gamma - 1); }
    double cv() const { return r / (gamma - 1); }
    double soundSpeed(double p, double rho) const { return std::sqrt(gamma * p / rho); }
    // Below this downstream-to-upstream pressure ratio an orifice is choked.
    double criticalRatio() const { return std::pow(2 / (gamma + 1), gamma / (gamma - 1)); }
};

// Quasi-steady flow through an orifice of effective area `area` (discharge coefficient times
// the open area) from stagnation state p0, t0 to the static pressure `downstream`, kg/s;
// choked below the critical ratio.
inline double orificeFlow(const Gas &g, double area, double p0, double t0, double downstream)
{
    if (area <= 0 || downstream >= p0)
        return 0;
    const double ratio = std::max(downstream / p0, g.criticalRatio());
    const double psi = std::pow(ratio, 2 / g.gamma) - std::pow(ratio, (g.gamma + 1) / g.gamma);
    return area * p0 * std::sqrt(2 * g.gamma / ((g.gamma - 1) * g.r * t0) * std::max(0.0, psi));
}

} // namespace velmorant::engine
