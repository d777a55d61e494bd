#pragma once

#include <QRect>

#include <cmath>

namespace velmorant {

// The layout is designed in twips; a logical pixel at 96 dpi is 15 twips.
constexpr double TwipsPerPixel = 15.0;

inline int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
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
