#pragma once

#include "perfectgas.h"

namespace velmorant::engine {

// A volume of well-mixed gas (the cylinder, the crankcase, a box): its mass, internal energy
// and the masses of fresh charge and of burnt gas in it (a box of the pipes keeps the latter).
struct Volume
{
    double m = 0, u = 0, fresh = 0, burnt = 0;

    void fill(const Gas &g, double p, double t, double v, double y, double b = 0)
    {
        m = p * v / (g.r * t);
        u = m * g.r * t / (g.gamma - 1);
        fresh = y * m;
        burnt = b * m;
    }
    double pressure(const Gas &g, double v) const { return (g.gamma - 1) * u / v; }
    double temperature(const Gas &g) const { return (g.gamma - 1) * u / (m * g.r); }
    double density(double v) const { return m / v; }
    double purity() const { return m > 0 ? std::clamp(fresh / m, 0.0, 1.0) : 0; }
    double burntShare() const { return m > 0 ? std::clamp(burnt / m, 0.0, 1.0) : 0; }
    // Gas in (dm > 0) or out with the energy it carries, and work or heat on it (in `energy`).
    void exchange(double dm, double energy, double dFresh, double dBurnt = 0)
    {
        m += dm;
        u += energy;
        fresh += dFresh;
        burnt += dBurnt;
    }
    void keepPhysical(double minimum)
    {
        m = std::max(m, minimum);
        u = std::max(u, minimum);
        fresh = std::clamp(fresh, 0.0, m);
        burnt = std::clamp(burnt, 0.0, m);
    }
};

// The flow through an orifice between two volumes, from the higher pressure to the lower: kg/s
// from a to b (negative from b to a), with its enthalpy (W) and fresh charge (kg/s).
struct Transfer
{
    double mass = 0, energy = 0, fresh = 0;
};
inline Transfer between(const Gas &g, double area, double pa, double ta, double ya, double pb,
                        double tb, double yb)
{
    if (pa >= pb) {
        const double m = orificeFlow(g, area, pa, ta, pb);
        return {m, m * g.cp() * ta, m * ya};
    }
    const double m = orificeFlow(g, area, pb, tb, pa);
    return {-m, -m * g.cp() * tb, -m * yb};
}

} // namespace velmorant::engine
