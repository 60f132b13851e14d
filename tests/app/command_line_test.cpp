#include "platform/command_line.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

namespace {

// Stand-in desktop tools on PATH that record how they were started.
TEST(CommandLine, StartsTheDesktopsToolForInternetOptionsAndOtherLinesAsGiven) {
  QTemporaryDir dir;
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(dir.path()) + ":/usr/bin:/bin");
  const auto started = [&](const QString& line) -> QByteArray {
    QFile::remove(dir.filePath("started"));
    if (!platform::startCommandLine(line)) {
      return "not started";
    }
    for (int i = 0; i < 1000 && !QFileInfo::exists(dir.filePath("started")); ++i) {
      QThread::msleep(10);
    }
    QFile record(dir.filePath("started"));
    return record.open(QIODevice::ReadOnly) ? record.readAll().trimmed() : "no record";
  };
  const QString internetOptions = platform::kInternetOptionsCommandLine;
  EXPECT_EQ(started(internetOptions), "not started") << "no tool installed";
  EXPECT_EQ(started(""), "not started");
  EXPECT_EQ(started("no-such-program-anywhere --x"), "not started");
  for (const char* name : {"nm-connection-editor", "gnome-control-center", "some-tool"}) {
    QFile tool(dir.filePath(name));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    // Written whole, then renamed: the test never reads a half-written record.
    tool.write(
        "#!/bin/sh\nd=\"$(dirname \"$0\")\"\n"
        "echo \"$(basename \"$0\") $*\" > \"$d/started.part\" && "
        "mv \"$d/started.part\" \"$d/started\"\n");
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  EXPECT_EQ(started(internetOptions), "gnome-control-center network");
  EXPECT_EQ(started("some-tool \"two words\" x"), "some-tool two words x");
  qputenv("PATH", oldPath);
}

}  // namespace
