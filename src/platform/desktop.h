#pragma once

#include <QStringList>

class QUrl;

namespace platform {

// Opens a file (QUrl::fromLocalFile) or an address of another scheme (mailto:, ssh:...)
// with the program the desktop names for it. Returns false when none takes it.
bool openExternally(const QUrl& url);

// Starts the desktop's own network settings tool without waiting for it. Returns false
// when none is installed; callers ignore it.
bool openNetworkSettings();

// The program and arguments of the desktop's network settings tool, or empty.
QStringList networkSettingsTool();

}  // namespace platform
