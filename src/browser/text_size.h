#pragma once

#include <array>

namespace browser {

// Zoom factors for the five text-size levels, Smallest to Largest; level 2 is 100 %.
inline constexpr std::array<double, 5> kTextSizeFactors{0.75, 0.875, 1.0, 1.25, 1.5};

}  // namespace browser
