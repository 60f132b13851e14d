// The program started a second time, as a user starts it: the built executable, while this
// test process runs as the first instance with real windows under openbox.
#include "app/instance.h"
#include "app/db_main.h"
#include "app/frm_browser.h"
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

std::uint32_t id(const frmBrowser* w) { return static_cast<std::uint32_t>(w->winId()); }

class Instance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A", "<p>a</p>");
    app::Main();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
  }
  static void TearDownTestSuite() { delete server; }
  void TearDown() override {
    for (frmBrowser* w : frmBrowser::windows()) {
      if (w != frmBrowser::mainWindow()) {
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
  frmBrowser* main = frmBrowser::mainWindow();
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(server->url("/a"));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  main->activateWindow();
  const auto before = frmBrowser::windows().size();
  EXPECT_EQ(startAgain(), 0);
  ASSERT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == before + 1; }));
  frmBrowser* opened = frmBrowser::windows().last();
  EXPECT_TRUE(waitUntil([&] { return x::viewable(id(opened)); }));
  EXPECT_TRUE(waitUntil([&] { return opened->engine()->LocationURL() == server->url("/a"); }));
}

TEST_F(Instance, WithWindowsHiddenASecondStartBringsThemBackAndEnds) {
  auto* second = new frmBrowser();
  second->show();
  ASSERT_TRUE(waitUntil([&] { return x::viewable(id(second)); }));
  const auto windows = frmBrowser::windows();
  for (frmBrowser* w : windows) {
    w->zodorAzev().hideNow();
    ASSERT_FALSE(x::viewable(id(w)));
  }
  EXPECT_EQ(startAgain(), 0);
  for (frmBrowser* w : windows) {
    EXPECT_TRUE(waitUntil([&] { return x::viewable(id(w)) && w->isVisible(); }));
  }
  EXPECT_EQ(frmBrowser::windows().size(), windows.size());
}

}  // namespace
