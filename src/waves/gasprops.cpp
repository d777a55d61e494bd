#include "gasprops.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

// The integral of air's fit, up to a constant.
double airFitIntegral(double t)
{
    const double s = std::sqrt(t);
    return -6.94660 * t * s + 2522.88 * t - 134454.2 * s + 917124.4 * std::log(t) + 8349707.2 / s;
}

constexpr double AirFitFrom = 300;

} // namespace

double cvAir(double t)
{
    const double s = std::sqrt(t);
    return -10.4199 * s + 2522.88 + (-67227.1 * s + 917124.4 - 4174853.6 / s) / t;
}

double cvBurnt(double t)
{
    return 641.154 + t * (0.43045 + t * (-1.125e-4 + t * 8.979e-9));
}

double energyAir(double t)
{
    const double below = cvAir(AirFitFrom);
    if (t <= AirFitFrom)
        return below * std::max(t, 0.0);
    return below * AirFitFrom + airFitIntegral(t) - airFitIntegral(AirFitFrom);
}

double energyBurnt(double t)
{
    return t * (641.154 + t * (0.215225 + t * (-3.75e-5 + t * 2.24475e-9)));
}

GasTable::GasTable()
{
    for (std::size_t i = 0; i < Nodes; ++i) {
        const double t = Lowest + Step * double(i);
        m_nodes[i] = Node{t < AirFitFrom ? cvAir(AirFitFrom) : cvAir(t), cvBurnt(t),
                          energyAir(t), energyBurnt(t)};
    }
}

const GasTable &GasTable::instance()
{
    static const GasTable table;
    return table;
}

} // namespace velmorant::waves
