// The settings store on real files in a temporary config folder.
#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

TEST(SettingsStore, AFileItCannotParseIsKeptAsideAndOneItCannotReadIsLeftAlone) {
  const QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  const QString app = QStringLiteral("Hushleaf Browser");
  const QString file = platform::settingsFilePath(app);
  ASSERT_EQ(file, config.filePath("Hushleaf Browser.ini"));
  // Saved while AutoHide has emptied the title: found under the program's own name.
  ASSERT_TRUE(platform::saveSetting({}, "proxy", "use", "true"));
  EXPECT_EQ(platform::readSetting(app, "proxy", "use"), "true");

  // Broken twice by hand: each broken file is kept whole, and the new value is stored.
  for (const char* aside : {".bad", ".bad2"}) {
    const QByteArray broken = QByteArray("[proxy]\naddress=10.0.0.") + aside + "\n[unclosed\n";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(broken) == broken.size());
    out.close();
    EXPECT_TRUE(platform::saveSetting(app, "proxy", "port", "8080"));
    EXPECT_EQ(contents(file + aside), broken);
    EXPECT_EQ(platform::readSetting(app, "proxy", "port"), "8080");
  }

  // A folder where the file should be: nothing is written, and saving says so.
  const QString other = platform::settingsFilePath("Other");
  ASSERT_TRUE(QDir().mkpath(other + "/keep"));
  EXPECT_FALSE(platform::saveSetting("Other", "proxy", "use", "true"));
  EXPECT_TRUE(QDir(other + "/keep").exists());
}

}  // namespace
