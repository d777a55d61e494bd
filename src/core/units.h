#pragma once

namespace velmorant {

// The window and its sketch are laid out in twips (1/1440 inch); a logical pixel at 96 dpi is
// 15 twips.
constexpr double TwipsPerPixel = 15.0;

} // namespace velmorant
