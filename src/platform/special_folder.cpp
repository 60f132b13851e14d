#include "platform/special_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

QString GetSpecialFolderPath(int csidl) {
  if (csidl != CSIDL_FAVORITES) {
    return {};
  }
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
