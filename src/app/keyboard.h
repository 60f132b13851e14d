#pragma once

#include <Qt>

namespace app {

// Shift-state bits as key handlers receive them.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

inline constexpr int kVkN = 78;

int shiftState(Qt::KeyboardModifiers modifiers);

// Ctrl+N and nothing else: Ctrl+Shift+N or a plain N are ordinary keys.
inline constexpr bool isNewWindowKey(int virtualKey, int shift) {
  return virtualKey == kVkN && shift == kCtrlMask;
}

}  // namespace app
