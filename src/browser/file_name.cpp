#include "browser/file_name.h"

namespace browser {

namespace {
bool reordersText(char16_t c) {
  return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
         (c >= 0x2066 && c <= 0x2069);
}
}  // namespace

QString cleanFileName(const QString& raw) {
  QString name;
  name.reserve(raw.size());
  for (const QChar c : raw) {
    const bool bad = c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
                     c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?') ||
                     c == QLatin1Char('"') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
                     c == QLatin1Char('|') || (c.unicode() >= 0x7f && c.unicode() < 0xa0) ||
                     reordersText(c.unicode());
    name += bad ? QLatin1Char('_') : c;
  }
  name = name.trimmed();
  if (name.startsWith(QLatin1Char('.'))) {
    name[0] = QLatin1Char('_');
  }
  return name;
}

}  // namespace browser
