// The internet-shortcut reader over arbitrary file contents: never more than the
// buffer holds, and the same answer for the same bytes.
#include "favorites/profile_string.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const int buffer : {255, 1, 0, 16}) {
    const QString value =
        favorites::readProfileString(content, QStringLiteral("InternetShortcut"), QStringLiteral("URL"),
                                     QStringLiteral("default"), buffer);
    if (value.size() > (buffer > 0 ? buffer - 1 : 0)) {
      std::abort();
    }
    if (value != favorites::readProfileString(content, QStringLiteral("internetshortcut"),
                                              QStringLiteral("url"), QStringLiteral("default"), buffer)) {
      std::abort();  // names are compared ignoring case
    }
  }
  return 0;
}
