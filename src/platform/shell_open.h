#pragma once

#include <QString>

namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;

// Hands a file to the desktop's default action for it, in a normal window.
bool ShellExecute(const QString& path, int showCommand = SW_SHOWNORMAL);

}  // namespace platform
