#include "platform/command_line.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

namespace {

// A stand-in desktop tool on PATH that records how it was started.
void writeTool(const QString& dir, const QString& name) {
  QFile tool(dir + "/" + name);
  ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
  // Written whole, then renamed: the test never reads a half-written record.
  tool.write(
      "#!/bin/sh\nd=\"$(dirname \"$0\")\"\n"
      "echo \"$0 $*\" > \"$d/started.part\" && mv \"$d/started.part\" \"$d/started\"\n");
  tool.close();
  tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool waitForFile(const QString& path) {
  for (int i = 0; i < 200 && !QFileInfo::exists(path); ++i) {
    QThread::msleep(10);
  }
  return QFileInfo::exists(path);
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
  }
  void TearDown() override { qputenv("PATH", m_oldPath); }

  QTemporaryDir m_dir;
  QByteArray m_oldPath;
};

TEST_F(CommandLine, InternetOptionsStartsTheDesktopsNetworkSettings) {
  writeTool(m_dir.path(), QStringLiteral("nm-connection-editor"));
  writeTool(m_dir.path(), QStringLiteral("gnome-control-center"));
  EXPECT_EQ(platform::internetOptionsTool().value(1), QStringLiteral("network"));
  ASSERT_TRUE(
      platform::startCommandLine(QString::fromLatin1(platform::kInternetOptionsCommandLine)));
  ASSERT_TRUE(waitForFile(m_dir.path() + "/started"));
  QFile started(m_dir.path() + "/started");
  ASSERT_TRUE(started.open(QIODevice::ReadOnly));
  EXPECT_TRUE(started.readAll().contains("gnome-control-center network"));
}

TEST_F(CommandLine, WithoutAToolNothingStarts) {
  EXPECT_TRUE(platform::internetOptionsTool().isEmpty());
  EXPECT_FALSE(
      platform::startCommandLine(QString::fromLatin1(platform::kInternetOptionsCommandLine)));
  EXPECT_FALSE(platform::startCommandLine(QString()));
  EXPECT_FALSE(platform::startCommandLine(QStringLiteral("no-such-program-anywhere --x")));
}

TEST_F(CommandLine, OtherLinesStartAsGiven) {
  writeTool(m_dir.path(), QStringLiteral("some-tool"));
  ASSERT_TRUE(platform::startCommandLine(QStringLiteral("some-tool \"two words\" x")));
  ASSERT_TRUE(waitForFile(m_dir.path() + "/started"));
  QFile started(m_dir.path() + "/started");
  ASSERT_TRUE(started.open(QIODevice::ReadOnly));
  EXPECT_TRUE(started.readAll().contains("two words x"));
}

}  // namespace
