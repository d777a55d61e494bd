#pragma once

#include "units.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace velmorant {

// Pixels for a length in twips. Saturates far beyond any screen (and reads NaN as 0), so that
// an absurd value from a stored setting or a degenerate drawing neither overflows an int nor
// wraps back onto the screen.
inline int px(double twips)
{
    constexpr double Limit = 1 << 24;
    const double pixels = twips / TwipsPerPixel;
    return std::isnan(pixels) ? 0 : int(std::lround(std::clamp(pixels, -Limit, Limit)));
}
inline double twips(double pixels)
{
    return pixels * TwipsPerPixel;
}
inline QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace velmorant
