#include "heattransfer.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

double gasViscosity(double t)
{
    return 7.457e-6 + 4.1547e-8 * t - 7.4793e-12 * t * t;
}

double gasConductivity(double t)
{
    return 6.1944e-3 + 7.3814e-5 * t - 1.2491e-8 * t * t;
}

double annandCoefficient(double a, double rho, double t, double meanPistonSpeed, double bore)
{
    if (a <= 0)
        return 0;
    // The fits hold over the engine's range; beyond 3000 K they are held at its end.
    const double tt = std::clamp(t, 250.0, 3000.0);
    const double re = rho * meanPistonSpeed * bore / gasViscosity(tt);
    return a * gasConductivity(tt) / bore * std::pow(std::max(re, 0.0), 0.7);
}

double wallArea(const EngineGeometry &g, double s)
{
    constexpr double Pi = 3.14159265358979323846;
    return 2 * g.pistonArea + Pi * g.bore * (g.clearance / g.pistonArea + s);
}

double wallHeat(double a, const EngineGeometry &g, double s, double mass, double pressure,
                double temperature, double volume, double cv, double wallKelvin,
                double meanPistonSpeed, double dt)
{
    if (a <= 0 || mass <= 0)
        return 0;
    (void)pressure;
    const double h = annandCoefficient(a, mass / volume, temperature, meanPistonSpeed, g.bore);
    const double q = h * wallArea(g, s) * (temperature - wallKelvin) * dt;
    // An explicit step may not carry the gas past the walls' temperature.
    const double most = mass * cv * std::abs(temperature - wallKelvin);
    return std::clamp(q, -most, most);
}

} // namespace velmorant::engine
