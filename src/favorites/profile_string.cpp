#include "favorites/profile_string.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace favorites {

namespace {

QString decode(const QByteArray& content) {
  if (content.startsWith("\xff\xfe") || content.startsWith("\xfe\xff")) {
    QStringDecoder utf16(content.startsWith("\xff\xfe") ? QStringConverter::Utf16LE
                                                        : QStringConverter::Utf16BE);
    return utf16.decode(content.mid(2));
  }
  QByteArray bytes = content;
  if (bytes.startsWith("\xef\xbb\xbf")) {
    bytes.remove(0, 3);
  }
  QStringDecoder utf8(QStringConverter::Utf8);
  const QString text = utf8.decode(bytes);
  if (!utf8.hasError()) {
    return text;
  }
  return QString::fromLatin1(bytes);
}

QString unquote(const QString& value) {
  if (value.size() >= 2 &&
      (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
      value.back() == value.front()) {
    return value.mid(1, value.size() - 2);
  }
  return value;
}

// Addresses the engine takes stay far below this; a larger file is not a shortcut.
constexpr qint64 kMaxShortcutBytes = 4 << 20;

}  // namespace

QString readProfileString(const QByteArray& content, const QString& section, const QString& key,
                          const QString& defaultValue) {
  const QString text = decode(content);
  bool inSection = false;
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0) {
      end = text.size();
    }
    const QString line = text.mid(start, end - start).trimmed();
    start = end + 1;
    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
      continue;
    }
    if (line.startsWith(QLatin1Char('['))) {
      const auto close = line.indexOf(QLatin1Char(']'));
      inSection =
          close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection) {
      continue;
    }
    const auto equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) {
      continue;
    }
    if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
      return unquote(line.mid(equals + 1).trimmed());
    }
  }
  return defaultValue;
}

QString readProfileFile(const QString& path, const QString& section, const QString& key) {
  // Opened without waiting for a writer, then checked on the open file itself, so a
  // FIFO put in place of the shortcut after any earlier check cannot block either.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return {};
  }
  struct stat status {};
  QFile file;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxShortcutBytes ||
      !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return {};
  }
  return readProfileString(file.read(kMaxShortcutBytes), section, key);
}

}  // namespace favorites
