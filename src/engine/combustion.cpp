#include "combustion.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

double burntFraction(double degrees, double start, double duration, double a, double m)
{
    if (!(degrees > start) || !(duration > 0))
        return 0;
    const double x = (degrees - start) / duration;
    return 1 - std::exp(-a * std::pow(x, m + 1));
}

Charge chargeOf(double freshMass, double airFuel)
{
    Charge c;
    c.fuel = freshMass / (1 + airFuel);
    c.air = freshMass - c.fuel;
    c.burnable = std::min(c.fuel, c.air / StoichiometricAirFuel);
    return c;
}

double chargeHeat(const Charge &c, double lhvMJ, double efficiency)
{
    return c.burnable * lhvMJ * 1e6 * efficiency;
}

} // namespace velmorant::engine
