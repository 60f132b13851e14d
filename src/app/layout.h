#pragma once

#include "platform/twips.h"

#include <optional>

namespace app {

// The browser control's design position: one pixel left of the client edge, below the cool bar.
inline constexpr float kBrowserLeftTwips = -15.0F;
inline constexpr float kBrowserTopTwips = 1005.0F;

// Design client area of a browser window.
inline constexpr float kClientWidthTwips = 8715.0F;
inline constexpr float kClientHeightTwips = 6240.0F;

struct BrowserSize {
  std::optional<float> height;  // nullopt: the computed height was negative, keep the old one
  float width = 0;
};

// On resize of the window: 20 twips of slack above the status bar.
BrowserSize layoutOnResize(float scaleWidth, float scaleHeight, float coolBarHeight,
                           float statusBarHeight);

// When the cool bar changes height: no slack.
BrowserSize layoutOnToolBarAreaHeightChanged(float scaleWidth, float scaleHeight,
                                             float coolBarHeight, float statusBarHeight);

}  // namespace app
