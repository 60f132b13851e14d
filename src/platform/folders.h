#pragma once

#include <QString>

namespace platform {

// "Favorites" under the program's per-user data folder, without a trailing separator,
// created on first use; empty when it cannot be located or created.
QString favoritesFolder();

}  // namespace platform
