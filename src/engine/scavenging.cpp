#include "scavenging.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

namespace {

// The fit's slope falls as SR grows: from `x1` on it is 1 or less.
double admissibleFrom(const ScavengingCurve &f)
{
    const double x = std::log(-f.m * std::exp(f.c)) / -f.m;
    return std::max(0.0, x);
}

struct Kept
{
    double value = 0, slope = 0;
};

Kept kept(const ScavengingCurve &f, double sr)
{
    const double x1 = admissibleFrom(f);
    Kept k;
    if (sr < x1 && x1 > 0) {
        const double line = f.fitted(x1) / x1;
        k = {line * sr, line};
    } else {
        k = {f.fitted(sr), -f.m * std::exp(f.m * sr + f.c)};
    }
    // Never more kept than delivered.
    if (k.value > sr)
        k = {sr, 1};
    k.value = std::clamp(k.value, 0.0, 1.0);
    k.slope = std::clamp(k.slope, 0.0, 1.0);
    return k;
}

} // namespace

std::optional<ScavengingCurve> curveOf(Scavenging s)
{
    switch (s) {
    case Scavenging::Uniflow:
        return ScavengingCurve{-1.7827, 0.2094};
    case Scavenging::Scre:
        return ScavengingCurve{-1.6709, 0.1899};
    case Scavenging::Yam1:
        return ScavengingCurve{-1.6993, 0.3053};
    case Scavenging::Yam6:
        return ScavengingCurve{-1.3516, 0.1435};
    case Scavenging::Cd:
        return ScavengingCurve{-1.0104, -0.117};
    case Scavenging::Qubcr:
        return ScavengingCurve{-1.6325, 0.1397};
    case Scavenging::Mixing:
        return ScavengingCurve{-1, 0};
    case Scavenging::Displacement:
        break;
    }
    return std::nullopt;
}

double keptCharge(Scavenging s, double sr)
{
    sr = std::max(sr, 0.0);
    if (s == Scavenging::Displacement)
        return std::min(sr, 1.0);
    return kept(*curveOf(s), sr).value;
}

double outflowPurity(Scavenging s, double sr)
{
    sr = std::max(sr, 0.0);
    if (s == Scavenging::Displacement)
        return sr < 1 ? 0 : 1;
    return 1 - kept(*curveOf(s), sr).slope;
}

double freshReleased(Scavenging s, double sr, double fresh, double mass, double outflow)
{
    if (!(outflow > 0) || !(mass > 0))
        return 0;
    fresh = std::clamp(fresh, 0.0, mass);
    outflow = std::min(outflow, mass);
    const double least = std::max(0.0, outflow - (mass - fresh)), most = std::min(outflow, fresh);
    double released = 0;
    switch (s) {
    case Scavenging::Mixing:
        released = outflow * fresh / mass;
        break;
    case Scavenging::Displacement:
        released = least;
        break;
    default:
        released = fresh - keptCharge(s, sr) * (mass - outflow);
        break;
    }
    return std::clamp(released, least, most);
}

} // namespace velmorant::engine
