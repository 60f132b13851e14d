#include "platform/settings_store.h"

#include <QDir>
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

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
  const QSettings settings(settingsFilePath(appName), QSettings::IniFormat);
  const QVariant value = settings.value(settingsKey(section, key));
  return value.isValid() ? value.toString() : defaultValue;
}

bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
  const QString path = settingsFilePath(appName);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSettings settings(path, QSettings::IniFormat);
  settings.setValue(settingsKey(section, key), value);
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace platform
