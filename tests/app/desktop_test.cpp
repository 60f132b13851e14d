#include "platform/desktop.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

// PATH holds only this folder while the test runs, so what the machine has installed
// (a real desktop's settings tool) is never found, let alone started.
class OnlyThisFolderOnPath {
 public:
  explicit OnlyThisFolderOnPath(const QString& folder) : m_old(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(folder));
  }
  ~OnlyThisFolderOnPath() { qputenv("PATH", m_old); }
  OnlyThisFolderOnPath(const OnlyThisFolderOnPath&) = delete;
  OnlyThisFolderOnPath& operator=(const OnlyThisFolderOnPath&) = delete;

 private:
  QByteArray m_old;
};

// A stand-in tool that records its name and arguments. Only shell built-ins: PATH has no
// /usr/bin. One echo writes the line whole; the reader waits for its newline.
void install(const QTemporaryDir& dir, const char* name) {
  QFile tool(dir.filePath(QLatin1String(name)));
  ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
  tool.write("#!/bin/sh\necho \"${0##*/} $*\" > \"${0%/*}/started\"\n");
  tool.close();
  tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Desktop, NetworkSettingsStartTheFirstDesktopToolFound) {
  QTemporaryDir dir;
  const OnlyThisFolderOnPath path(dir.path());
  const auto started = [&]() -> QByteArray {
    QFile::remove(dir.filePath("started"));
    if (!platform::openNetworkSettings()) {
      return "not started";
    }
    QFile record(dir.filePath("started"));
    for (int i = 0; i < 1000; ++i) {
      if (record.open(QIODevice::ReadOnly)) {
        const QByteArray text = record.readAll();
        record.close();
        if (text.endsWith('\n')) {
          return text.trimmed();
        }
      }
      QThread::msleep(10);
    }
    return "no record";
  };
  EXPECT_EQ(started(), "not started") << "no tool installed";
  install(dir, "some-tool");
  EXPECT_EQ(started(), "not started") << "only the desktops' own tools";
  // Installed one by one from the last tried to the first: each new one is preferred.
  const std::pair<const char*, const char*> tools[] = {
      {"nm-connection-editor", "nm-connection-editor"},
      {"systemsettings5", "systemsettings5 proxy"},
      {"systemsettings", "systemsettings kcm_proxy"},
      {"gnome-control-center", "gnome-control-center network"}};
  for (const auto& [tool, line] : tools) {
    install(dir, tool);
    EXPECT_EQ(started(), line);
  }
}

}  // namespace
