#pragma once

#include <QByteArray>
#include <QString>

namespace favorites {

// Reads one value from initialisation-format text ("[Section]" lines, "key=value"
// lines; names compared ignoring case, the first match wins), whole however long.
// Missing section or key gives defaultValue. Text is read as UTF-8 (UTF-16 with a
// byte-order mark), or as Latin-1 when it is not valid UTF-8.
QString readProfileString(const QByteArray& content, const QString& section, const QString& key,
                          const QString& defaultValue = {});

// The value from a file. Only a regular file (or a link to one) is read: a FIFO or a
// device would block the window, and a file larger than any shortcut is none. Any such
// file, or one that cannot be read, gives an empty value.
QString readProfileFile(const QString& path, const QString& section, const QString& key);

}  // namespace favorites
