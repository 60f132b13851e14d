#pragma once

#include <QString>

namespace platform {

// Reads a value of an initialisation file into a buffer of nSize characters and
// returns what the buffer holds (at most nSize - 1 characters); default when the
// file, section or key is missing.
QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int nSize, const QString& fileName);

}  // namespace platform
