#pragma once

#include <cmath>

// Window and screen geometry is reasoned about in twips, 1/1440 inch. The program assumes
// a 96-dpi display wherever it converts, so 15 twips make one pixel whatever the display's
// real ratio.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr float fromPixels(int pixels) { return static_cast<float>(pixels) * kPerPixel; }
// Pixels as a fraction, for comparisons that must not round.
constexpr double toPixelsExact(double twips) { return twips / kPerPixel; }
// Whole pixels, halves away from zero.
inline int toPixels(double twips) { return static_cast<int>(std::lround(twips / kPerPixel)); }

}  // namespace twips
