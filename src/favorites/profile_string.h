#pragma once

#include <QByteArray>
#include <QString>

namespace favorites {

// Reads one value from initialisation-format text ("[Section]" lines, "key=value"
// lines; names compared ignoring case, the first match wins), as a buffer of
// bufferSize characters holds it: at most bufferSize - 1 characters come back.
// Missing section or key gives defaultValue, cut the same way. Text is read as
// UTF-8 (UTF-16 with a byte-order mark), or as Latin-1 when it is not valid UTF-8.
QString readProfileString(const QByteArray& content, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferSize);

}  // namespace favorites
