#pragma once

#include <QString>

class QUrl;

namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;

// Hands a file to the desktop's default action for it, in a normal window.
bool ShellExecute(const QString& path, int showCommand = SW_SHOWNORMAL);

// Hands an address of another scheme (mailto:, ssh:...) to the program the desktop
// names for it. Returns false when none takes it.
bool openExternally(const QUrl& url);

}  // namespace platform
