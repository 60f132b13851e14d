#pragma once

#include <QString>

namespace platform {

inline constexpr int CSIDL_FAVORITES = 6;

// The path of a special folder without a trailing separator, created on first use;
// empty when it cannot be located or created. Only the Favorites folder (6) is known:
// "Favorites" under the program's per-user data folder.
QString GetSpecialFolderPath(int csidl);

}  // namespace platform
