#include "wall.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double StefanBoltzmann = 5.670374419e-8;

} // namespace

double settledWall(double hIn, double gasK, const OutsideAir &air)
{
    // f(T) = hIn (gas - T) - convection (T - air) - eps sigma (T^4 - air^4), falling in T: Newton
    // from the gas's side, kept between the air and the gas.
    const double lo = std::min(gasK, air.kelvin), hi = std::max(gasK, air.kelvin);
    const double es = air.emissivity * StefanBoltzmann;
    double t = (lo + hi) / 2;
    for (int i = 0; i < 60; ++i) {
        const double f = hIn * (gasK - t) - air.convection * (t - air.kelvin) -
                         es * (std::pow(t, 4) - std::pow(air.kelvin, 4));
        const double slope = -hIn - air.convection - 4 * es * std::pow(t, 3);
        const double next = std::clamp(t - f / slope, lo, hi);
        if (std::abs(next - t) < 1e-9)
            return next;
        t = next;
    }
    return t;
}

void settleWalls(std::vector<double> &wallK, std::vector<double> &hTime,
                 std::vector<double> &hGasTime, double time, const OutsideAir &air)
{
    for (std::size_t i = 0; i < wallK.size(); ++i) {
        if (hTime[i] > 0 && time > 0)
            wallK[i] = settledWall(hTime[i] / time, hGasTime[i] / hTime[i], air);
        hTime[i] = hGasTime[i] = 0;
    }
}

} // namespace velmorant::waves
