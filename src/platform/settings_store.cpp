#include "platform/settings_store.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

QString fileBaseName(const QString& appName) {
  QString name = appName.isEmpty() ? QString::fromLatin1(kDefaultSettingsApplication) : appName;
  for (QChar& c : name) {
    if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f) {
      c = u'_';
    }
  }
  if (name.startsWith(u'.')) {
    name[0] = u'_';  // no hidden files, no "." or ".."
  }
  return name;
}

// QSettings treats "/" as a group separator; a section or key keeps its text whole.
QString settingsKey(const QString& section, const QString& key) {
  QString s = section;
  QString k = key;
  s.replace(u'/', u'_');
  k.replace(u'/', u'_');
  return s.isEmpty() ? k : s + u'/' + k;
}

}  // namespace

QString settingsFilePath(const QString& appName) {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return dir + u'/' + fileBaseName(appName) + QStringLiteral(".ini");
}

QString readSetting(const QString& appName, const QString& section, const QString& key,
                    const QString& defaultValue) {
  const QSettings settings(settingsFilePath(appName), QSettings::IniFormat);
  const QVariant value = settings.value(settingsKey(section, key));
  return value.isValid() ? value.toString() : defaultValue;
}

namespace {

enum class FileState { Absent, Good, Unreadable, Corrupt };

FileState existingFileState(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    return FileState::Absent;
  }
  if (!info.isFile()) {
    return FileState::Unreadable;
  }
  const QSettings probe(path, QSettings::IniFormat);
  if (probe.status() == QSettings::AccessError) {
    return FileState::Unreadable;
  }
  if (probe.status() == QSettings::FormatError) {
    return FileState::Corrupt;
  }
  // A value Qt cannot load would be written back as "@Invalid()".
  const QStringList keys = probe.allKeys();
  const bool allLoad = std::all_of(keys.begin(), keys.end(),
                                   [&](const QString& k) { return probe.value(k).isValid(); });
  return allLoad ? FileState::Good : FileState::Corrupt;
}

// Keeps a file that cannot be read back whole beside the new one instead of letting the
// rewrite drop what it could not parse: "<file>.bad", or "<file>.bad2" and on.
bool setAside(const QString& path) {
  QString aside = path + QStringLiteral(".bad");
  for (int n = 2; QFileInfo::exists(aside); ++n) {
    aside = path + QStringLiteral(".bad") + QString::number(n);
  }
  return QFile::rename(path, aside);
}

}  // namespace

bool saveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
  const QString path = settingsFilePath(appName);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return false;
  }
  switch (existingFileState(path)) {
    case FileState::Unreadable:
      return false;  // never replace what we cannot even read
    case FileState::Corrupt:
      if (!setAside(path)) {
        return false;
      }
      break;
    case FileState::Absent:
    case FileState::Good:
      break;
  }
  QSettings settings(path, QSettings::IniFormat);
  settings.setValue(settingsKey(section, key), value);
  settings.sync();
  // A failed write is an access error. A format error only describes the file as it
  // was read before (the rewrite went through); unparsable files were set aside above.
  // Reading the value back would prove nothing: Qt serves it from its own cache.
  return settings.status() != QSettings::AccessError;
}

}  // namespace platform
