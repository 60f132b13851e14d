// The internet-shortcut reader over arbitrary file contents: a value is one line of the
// text, and the same bytes give the same answer whatever the case of the names asked for.
#include "favorites/profile_string.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString value =
      favorites::readProfileString(content, QStringLiteral("InternetShortcut"),
                                   QStringLiteral("URL"), QStringLiteral("default"));
  if (value.contains(QLatin1Char('\n')) ||
      (value.size() > content.size() && value != QLatin1String("default"))) {
    std::abort();
  }
  if (value != favorites::readProfileString(content, QStringLiteral("internetshortcut"),
                                            QStringLiteral("url"), QStringLiteral("default"))) {
    std::abort();  // names are compared ignoring case
  }
  return 0;
}
