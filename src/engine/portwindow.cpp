#include "portwindow.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Radian = Pi / 180;

// The area open `o` into a strip of width w whose two corners have radius r (o up to r).
double cornered(double o, double w, double r)
{
    if (r <= 0)
        return w * o;
    return (w - 2 * r) * o + Pi * r * r / 2 -
           (r - o) * std::sqrt(std::max(0.0, 2 * r * o - o * o)) -
           r * r * std::asin(std::clamp(1 - o / r, -1.0, 1.0));
}

// Bisection of a monotone g between a and b, g(a) and g(b) of opposite signs.
template <class F> double bisect(F g, double a, double b)
{
    const bool rising = g(b) > g(a);
    for (int k = 0; k < 200 && b - a > 1e-13; ++k) {
        const double m = 0.5 * (a + b);
        if ((g(m) < 0) == rising)
            a = m;
        else
            b = m;
    }
    return 0.5 * (a + b);
}

} // namespace

double Crank::drop(double degrees) const
{
    const double r = radius, l = rod, e = offset;
    const double top = std::asin(e / (l + r));
    const double t = degrees * Radian + top;
    const double side = r * std::sin(t) - e;
    return std::sqrt((l + r) * (l + r) - e * e) - r * std::cos(t) - std::sqrt(l * l - side * side);
}

double Crank::bottomDegrees() const
{
    return 180 + (std::asin(offset / (rod - radius)) - std::asin(offset / (rod + radius))) / Radian;
}

double Crank::travel() const
{
    const double r = radius, l = rod, e = offset;
    return std::sqrt((l + r) * (l + r) - e * e) - std::sqrt((l - r) * (l - r) - e * e);
}

double Crank::downAt(double h) const
{
    return bisect([&](double d) { return drop(d) - h; }, 0, bottomDegrees());
}

double Crank::upAt(double h) const
{
    return bisect([&](double d) { return drop(d) - h; }, bottomDegrees(), 360);
}

double Window::area(double open) const
{
    const double o = std::clamp(open, 0.0, height);
    constexpr double K = 2 - Pi / 2; // two corners of radius R lose K R²
    const double rt = topRadius, rb = bottomRadius, w = width;
    if (o <= rt) // no rounding below nothing where a corner's terms nearly cancel
        return std::max(0.0, cornered(o, w, rt));
    if (o <= height - rb)
        return w * o - K * rt * rt;
    const double whole = w * height - K * (rt * rt + rb * rb);
    return whole - cornered(height - o, w, rb);
}

} // namespace velmorant::engine
