#pragma once

#include <cstdint>

class QWidget;

namespace platform {

// Layered-window alpha for top-level windows. The extended style of each window is
// tracked here as a style word; its layered bit decides whether the window carries an
// opacity at all. On X the alpha becomes _NET_WM_WINDOW_OPACITY; without the bit the
// property is absent, which a compositor reads as "not translucent".

inline constexpr std::int32_t kGwlExStyle = -20;       // GWL_EXSTYLE
inline constexpr std::int32_t kWsExLayered = 0x80000;  // WS_EX_LAYERED
inline constexpr std::uint32_t kLwaAlpha = 2;          // LWA_ALPHA

// The window's style word at `index`; only kGwlExStyle is known, anything else reads 0.
// A window that was never given a style reads 0.
std::int32_t getWindowLong(const QWidget* window, std::int32_t index);

// Replaces the style word and returns the previous one (0 for an unknown index or a
// null window, which change nothing). Clearing the layered bit makes the window opaque
// and deletes its opacity property.
std::int32_t setWindowLong(QWidget* window, std::int32_t index, std::int32_t newLong);

// Gives a layered window its alpha when `flags` has kLwaAlpha. The key colour is
// accepted and has no effect. Fails (false, nothing changes) on a window without the
// layered bit, as the layered model requires.
bool setLayeredWindowAttributes(QWidget* window, std::uint32_t keyColour, std::uint8_t alpha,
                                std::uint32_t flags);

}  // namespace platform
