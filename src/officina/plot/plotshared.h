#pragma once

// What the plot's layout and its drawing share: sizes in pixels and the axis steps.
#include "plotlayout.h"

#include <cmath>

namespace velmorant::plot::detail {

constexpr double Pad = 8; // around the frame and between its parts, px
constexpr double SampleLength = 24;
constexpr double XSpacing = 70, YSpacing = 28; // px between ticks, about

inline bool usable(double v)
{
    return std::isfinite(v);
}

// A fixed step, or a round one giving a tick every `spacing` pixels or so of `pixels`.
double axisStep(const Axis &a, double lo, double hi, double pixels, double spacing);

} // namespace velmorant::plot::detail
