#pragma once

#include "perfectgas.h"

#include <cmath>

namespace velmorant::waves {

using engine::Gas;
using engine::orificeFlow;

// The gas in a cell or on a face: density, velocity, pressure, the share of fresh charge and
// the share of burnt gas (the rest is air drawn in from outside).
struct Primitive
{
    double rho = 0, u = 0, p = 0, y = 0, b = 0;
};

// The flux of mass, momentum, energy, fresh charge and burnt gas through a unit area.
struct Flux
{
    double mass = 0, momentum = 0, energy = 0, fresh = 0, burnt = 0;
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

} // namespace velmorant::waves
