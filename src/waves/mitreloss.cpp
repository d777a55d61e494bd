#include "mitreloss.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double ReynoldsLow = 1e5, ReynoldsHigh = 2e5;

} // namespace

double mitreLossTurbulent(double angleDeg)
{
    if (!(angleDeg > 0))
        return 0;
    const double s = std::sin(angleDeg * Pi / 360);
    const double s2 = s * s;
    return (0.95 + 33.5 / angleDeg) * (0.95 * s2 + 2.05 * s2 * s2);
}

double mitreReynoldsFactor(double reynolds)
{
    const double re = std::max(reynolds, 1.0);
    // 1 below ReynoldsLow, 0 above ReynoldsHigh, smooth between.
    const double t = std::clamp((re - ReynoldsLow) / (ReynoldsHigh - ReynoldsLow), 0.0, 1.0);
    const double low = 0.5 + 0.5 * std::cos(Pi * t);
    return low * 24.8 * std::pow(re, -0.263) + (1 - low);
}

double mitreLoss(double angleDeg, double reynolds)
{
    return mitreLossTurbulent(angleDeg) * mitreReynoldsFactor(reynolds);
}

double gasViscosity(double kelvin)
{
    const double t = std::max(kelvin, 50.0);
    return 1.716e-5 * std::pow(t / 273.15, 1.5) * (273.15 + 110.4) / (t + 110.4);
}

} // namespace velmorant::waves
