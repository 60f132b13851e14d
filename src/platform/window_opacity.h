#pragma once

class QWidget;

namespace platform {

// Opacity levels run from 0 (clear) to 255 (opaque).
inline constexpr int kOpaqueLevel = 255;

// Gives the top-level `window` the opacity `level`. At kOpaqueLevel the window carries no
// opacity at all, which a compositor reads as "not translucent". A level outside 0..255
// is ignored: wrapped, it would be an arbitrary alpha (256 would make the window vanish).
void setOpacity(QWidget* window, int level);

}  // namespace platform
