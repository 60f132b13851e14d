#pragma once

#include <QString>

namespace platform {

// The name the settings of an empty application name are kept under. The application
// title is emptied while AutoHide hides a window; values saved then must still be found
// under the title the program runs with.
inline constexpr char kDefaultSettingsApplication[] = "Hushleaf Browser";

// Per-user text values addressed by application name, section and key. Each application
// name has its own INI file in the user's config folder ($XDG_CONFIG_HOME or ~/.config):
// "<application name>.ini", with "/" and other characters a file name cannot hold
// replaced by "_".
[[nodiscard]] QString readSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& defaultValue = QString());

// Stores the value at once. Returns false when it could not be stored. A file that
// cannot be read is left alone (nothing is written); one that cannot be parsed whole is
// kept beside the new file as "<file>.bad" first, so nothing in it is lost.
bool saveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

// The file that holds the settings of an application name.
[[nodiscard]] QString settingsFilePath(const QString& appName);

}  // namespace platform
