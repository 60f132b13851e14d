#pragma once

#include <cstdint>

class QWidget;

// The module `transparent`: a transparency level from a slider onto a window's
// layered alpha. Levels run from 0 (clear) to 255, where 255 means not layered at all.
namespace stealth::transparent {

inline constexpr std::int32_t kOpaqueLevel = 255;

// Applies `level` to the top-level `window`. A level outside 0..255 is ignored: it
// would wrap to an arbitrary alpha (256 would make the window vanish).
void MakeTransparent(QWidget* window, std::int32_t level);

// Takes the layered style off; the window is opaque afterwards.
void RemoveTransparency(QWidget* window);

}  // namespace stealth::transparent
