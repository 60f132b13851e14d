#include "platform/folders.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

QString favoritesFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty() || !QDir::isAbsolutePath(data)) {
    return {};
  }
  const QString path = QDir::cleanPath(data + QStringLiteral("/hushleaf-browser/Favorites"));
  if (!QDir().mkpath(path)) {
    return {};
  }
  return path;
}

}  // namespace platform
