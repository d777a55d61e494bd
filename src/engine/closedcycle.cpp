#include "closedcycle.h"

#include "combustion.h"
#include "heattransfer.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

ClosedStep advanceClosed(Volume &gas, const Gas &g, const EngineGeometry &geo, const Burn &burn,
                         const Walls &walls, double rpm, double from, double to, double substep)
{
    ClosedStep out;
    if (!(to > from))
        return out;
    const int n = std::max(1, int(std::ceil((to - from) / substep - 1e-9)));
    const double step = (to - from) / n;
    const double cm = geo.meanPistonSpeed(rpm);
    double a0 = from;
    double s0 = geo.travel(a0);
    double v0 = geo.cylinderVolume(s0);
    double x0 = burntFraction(a0, burn.start, burn.duration, burn.a, burn.m);
    for (int k = 0; k < n; ++k) {
        const double a1 = k + 1 == n ? to : from + (k + 1) * step;
        const double s1 = geo.travel(a1);
        const double v1 = geo.cylinderVolume(s1);
        const double x1 = burntFraction(a1, burn.start, burn.duration, burn.a, burn.m);
        const double p0 = gas.pressure(g, v0);
        const double released = burn.heat * (x1 - x0);
        const double dt = (a1 - a0) / (6 * rpm);
        const double wall = wallHeat(walls.a, geo, 0.5 * (s0 + s1), gas.m, p0, gas.temperature(g),
                                     v0, g.cv(), walls.kelvin, cm, dt);
        // U1 = U0 + Q - Qw - (p0 + p1)/2 dV with p1 = (gamma - 1) U1 / V1, solved for U1.
        const double dv = v1 - v0;
        const double u1 = (gas.u + released - wall - 0.5 * p0 * dv) /
                          (1 + 0.5 * (g.gamma - 1) * dv / v1);
        const double p1 = (g.gamma - 1) * u1 / v1;
        out.work += 0.5 * (p0 + p1) * dv;
        out.released += released;
        out.wall += wall;
        gas.u = u1;
        gas.fresh = std::max(0.0, gas.fresh - burn.fresh * (x1 - x0));
        a0 = a1;
        s0 = s1;
        v0 = v1;
        x0 = x1;
    }
    return out;
}

} // namespace velmorant::engine
