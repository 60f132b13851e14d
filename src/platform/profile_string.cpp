#include "platform/profile_string.h"

#include "favorites/profile_string.h"

#include <QFile>

namespace platform {

namespace {
// A shortcut is a few lines; anything this large is not one.
constexpr qint64 kMaxProfileBytes = 1 << 20;
}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int nSize, const QString& fileName) {
  QFile file(fileName);
  QByteArray content;
  if (file.open(QIODevice::ReadOnly)) {
    content = file.read(kMaxProfileBytes);
  }
  return favorites::readProfileString(content, section, key, defaultValue, nSize);
}

}  // namespace platform
