// The program started a second time, as a user starts it: the built executable, while this
// test process runs as the first instance with real windows under openbox.
#include "app/instance.h"
#include "app/application.h"
#include "app/browser_window.h"
#include "browser/browser_engine.h"
#include "support/http_server.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

std::uint32_t id(const app::BrowserWindow* w) { return static_cast<std::uint32_t>(w->winId()); }

class Instance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A", "<p>a</p>");
    app::startApplication();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
  }
  static void TearDownTestSuite() { delete server; }
  void TearDown() override {
    for (app::BrowserWindow* w : app::BrowserWindow::windows()) {
      if (w != app::BrowserWindow::mainWindow()) {
        delete w;
      }
    }
  }

  // Starts the built program; its exit code, or -1 when it is still running after a while.
  static int startAgain() {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    // As root the engine wants this switch; the program takes it and reads nothing else.
    program.start(QStringLiteral(HUSHLEAF_EXE), {QStringLiteral("--no-sandbox")});
    if (!program.waitForStarted()) {
      return -2;
    }
    if (!waitUntil([&] { return program.state() == QProcess::NotRunning; }, 20000)) {
      program.kill();
      program.waitForFinished();
      return -1;
    }
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -3;
  }

  static inline testsupport::HttpServer* server = nullptr;
};

TEST_F(Instance, TheSocketIsInTheAbstractNamespaceNotOnDisk) {
  QFile sockets(QStringLiteral("/proc/net/unix"));
  ASSERT_TRUE(sockets.open(QIODevice::ReadOnly));
  const QByteArray table = sockets.readAll();
  EXPECT_TRUE(table.contains(" @" + app::instanceName().toUtf8() + "\n")) << table.toStdString();
}

TEST_F(Instance, WithWindowsInSightASecondStartOpensANewWindowAndEnds) {
  app::BrowserWindow* main = app::BrowserWindow::mainWindow();
  QSignalSpy done(main->engine(), &browser::BrowserEngine::loadFinished);
  main->engine()->load(server->url("/a"));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  main->activateWindow();
  const auto before = app::BrowserWindow::windows().size();
  EXPECT_EQ(startAgain(), 0);
  ASSERT_TRUE(waitUntil([&] { return app::BrowserWindow::windows().size() == before + 1; }));
  app::BrowserWindow* opened = app::BrowserWindow::windows().last();
  EXPECT_TRUE(waitUntil([&] { return x::viewable(id(opened)); }));
  EXPECT_TRUE(waitUntil([&] { return opened->engine()->url() == server->url("/a"); }));
}

TEST_F(Instance, WithWindowsHiddenASecondStartBringsThemBackAndEnds) {
  auto* second = new app::BrowserWindow();
  second->show();
  ASSERT_TRUE(waitUntil([&] { return x::viewable(id(second)); }));
  const auto windows = app::BrowserWindow::windows();
  for (app::BrowserWindow* w : windows) {
    w->autoHide().hideNow();
    ASSERT_FALSE(x::viewable(id(w)));
  }
  EXPECT_EQ(startAgain(), 0);
  for (app::BrowserWindow* w : windows) {
    EXPECT_TRUE(waitUntil([&] { return x::viewable(id(w)) && w->isVisible(); }));
  }
  EXPECT_EQ(app::BrowserWindow::windows().size(), windows.size());
}

}  // namespace
