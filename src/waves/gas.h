#pragma once

#include <cmath>

namespace velmorant::waves {

// One perfect gas: the ratio of specific heats and the gas constant, J/(kg K).
struct Gas
{
    double gamma = 1.35;
    double r = 287;

    double cp() const { return gamma * r / (gamma - 1); }
    double soundSpeed(double p, double rho) const { return std::sqrt(gamma * p / rho); }
    // Below this downstream-to-upstream pressure ratio an orifice is choked.
    double criticalRatio() const { return std::pow(2 / (gamma + 1), gamma / (gamma - 1)); }
};

// The gas in a cell or on a face: density, velocity, pressure and the share of fresh charge.
struct Primitive
{
    double rho = 0, u = 0, p = 0, y = 0;
};

// The flux of mass, momentum, energy and fresh charge through a unit area.
struct Flux
{
    double mass = 0, momentum = 0, energy = 0, fresh = 0;
};

// The exact Riemann solver's wave function for the state `k` (Toro, ch. 4): the jump in
// velocity across a shock (p above k.p) or a rarefaction (below) that reaches pressure p.
// Returns its derivative in `slope`.
inline double waveFunction(const Gas &g, const Primitive &k, double a, double p, double &slope)
{
    if (p > k.p) {
        const double ak = 2 / ((g.gamma + 1) * k.rho);
        const double bk = (g.gamma - 1) / (g.gamma + 1) * k.p;
        const double root = std::sqrt(ak / (p + bk));
        slope = root * (1 - (p - k.p) / (2 * (bk + p)));
        return (p - k.p) * root;
    }
    const double e = (g.gamma - 1) / (2 * g.gamma);
    const double ratio = std::pow(p / k.p, e);
    slope = ratio / (k.rho * a) * (k.p / p);
    return 2 * a / (g.gamma - 1) * (ratio - 1);
}

// The density behind that wave.
inline double densityBehindWave(const Gas &g, const Primitive &k, double p)
{
    if (p > k.p) {
        const double c = (g.gamma - 1) / (g.gamma + 1);
        const double ratio = p / k.p;
        return k.rho * (ratio + c) / (c * ratio + 1);
    }
    return k.rho * std::pow(p / k.p, 1 / g.gamma);
}

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

} // namespace velmorant::waves
