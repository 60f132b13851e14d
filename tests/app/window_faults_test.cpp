// Faults a user meets in a browser window: sites whose certificate fails, a page
// process that dies, servers that stall or break off, many windows in a row.
#include "app/db_main.h"
#include "app/frm_browser.h"
#include "app/window_test_support.h"
#include "browser/certificate_prompt.h"
#include "browser/webengine_browser.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>

#include <csignal>
#include <ostream>

using testsupport::pump;
using testsupport::waitUntil;
using windowtest::goTo;
using windowtest::loadAndWait;
using windowtest::pageOf;
using windowtest::runJs;

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

QMessageBox* certificateWarning(const frmBrowser* w) {
  return w->findChild<QMessageBox*>(QStringLiteral("CertificateWarning"));
}

// Resident memory of this process, in kB.
long residentKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
  }
  return -1;
}

class WindowFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage(QStringLiteral("/a"), QStringLiteral("Page A"), QStringLiteral("<p>alpha</p>"));
    tls = new testsupport::HttpServer(testsupport::HttpServer::Transport::UntrustedTls);
    tls->setPage(QStringLiteral("/secret"), QStringLiteral("Secret"), QStringLiteral("<p>s</p>"));
    app::Main();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
    main = frmBrowser::mainWindow();
  }
  static void TearDownTestSuite() {
    delete server;
    delete tls;
  }
  void TearDown() override {
    for (frmBrowser* w : frmBrowser::windows()) {
      if (w != main) {
        delete w;
      }
    }
    main->engine()->setSilent(false);
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline testsupport::HttpServer* tls = nullptr;
  static inline frmBrowser* main = nullptr;
};

TEST_F(WindowFaults, AnUntrustedCertificateLoadsOnlyAfterTheUserSaysSo) {
  ASSERT_TRUE(waitUntil([] { return main->isVisible(); }));
  // Silent: nobody is asked and the page does not load.
  main->engine()->setSilent(true);
  ASSERT_TRUE(loadAndWait(main, tls->url(QStringLiteral("/secret"))));
  pump(300);
  EXPECT_EQ(certificateWarning(main), nullptr);
  EXPECT_EQ(tls->requestCount("/secret"), 0);
  EXPECT_NE(runJs(main, QStringLiteral("document.title")), QStringLiteral("Secret"));
  EXPECT_TRUE(windowtest::label(main, "StatusPanel2")->isHidden());

  // Not silent: a warning says what is wrong; Go Back (the default) keeps it closed.
  main->engine()->setSilent(false);
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(tls->url(QStringLiteral("/secret")));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  QMessageBox* box = certificateWarning(main);
  EXPECT_TRUE(box->text().contains(QStringLiteral("127.0.0.1"))) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains(QStringLiteral("not trusted"))) << box->text().toStdString();
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->defaultButton()->objectName(), QStringLiteral("GoBack"));
  box->defaultButton()->click();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(tls->requestCount("/secret"), 0);
  EXPECT_TRUE(windowtest::label(main, "StatusPanel2")->isHidden());

  // Asked again, the user continues: the page loads, without the padlock.
  done.clear();
  main->engine()->Navigate(tls->url(QStringLiteral("/secret")));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  certificateWarning(main)->findChild<QPushButton*>(QStringLiteral("Continue"))->click();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(runJs(main, QStringLiteral("document.title")), QStringLiteral("Secret"));
  EXPECT_EQ(tls->requestCount("/secret"), 1);
  EXPECT_TRUE(windowtest::label(main, "StatusPanel2")->isHidden());

  // The exception holds for this run in every window, still without the padlock.
  main->LoadNewWindow(tls->url(QStringLiteral("/secret")));
  frmBrowser* second = frmBrowser::windows().last();
  ASSERT_NE(second, main);
  ASSERT_TRUE(
      waitUntil([&] { return runJs(second, QStringLiteral("document.title")) == "Secret"; }));
  EXPECT_EQ(certificateWarning(second), nullptr);
  EXPECT_TRUE(windowtest::label(second, "StatusPanel2")->isHidden());
}

TEST_F(WindowFaults, AWindowClosedWhileAskingLeavesTheSiteClosed) {
  testsupport::HttpServer other(testsupport::HttpServer::Transport::UntrustedTls);
  other.setPage(QStringLiteral("/x"), QStringLiteral("X"), QStringLiteral("<p>x</p>"));
  main->LoadNewWindow();
  frmBrowser* w = frmBrowser::windows().last();
  ASSERT_NE(w, main);
  // Another host than the one already excepted: localhost.
  w->engine()->Navigate(QStringLiteral("https://localhost:%1/x").arg(other.port()));
  ASSERT_TRUE(waitUntil([&] { return certificateWarning(w) != nullptr; }));
  w->close();
  pump(500);
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(QStringLiteral("https://localhost:%1/x").arg(other.port()));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  certificateWarning(main)->reject();  // Escape
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(other.requestCount("/x"), 0);
}

TEST_F(WindowFaults, APageFullOfFailingFramesAsksOnceAtATime) {
  testsupport::HttpServer other(testsupport::HttpServer::Transport::UntrustedTls);
  other.setPage(QStringLiteral("/f"), QStringLiteral("F"), QStringLiteral("<p>f</p>"));
  QString frames;
  for (int i = 0; i < 6; ++i) {
    frames += QStringLiteral("<iframe src='https://localhost:%1/f?%2'></iframe>")
                  .arg(other.port())
                  .arg(i);
  }
  server->setPage(QStringLiteral("/frames"), QStringLiteral("Frames"), frames);
  main->LoadNewWindow();
  frmBrowser* w = frmBrowser::windows().last();
  ASSERT_NE(w, main);
  w->engine()->Navigate(server->url(QStringLiteral("/frames")));
  ASSERT_TRUE(waitUntil([&] { return certificateWarning(w) != nullptr; }));
  pump(1500);
  int open = 0;
  for (const QMessageBox* box :
       w->findChildren<QMessageBox*>(QStringLiteral("CertificateWarning"))) {
    open += box->isVisible() ? 1 : 0;
  }
  EXPECT_EQ(open, 1);
  certificateWarning(w)->reject();
  pump(500);
  EXPECT_EQ(other.requestCount("/f"), 0);
}

TEST_F(WindowFaults, AKilledPageProcessLeavesTheWindowUsableAndRefreshBringsThePageBack) {
  ASSERT_TRUE(goTo(main, server->url(QStringLiteral("/a"))));
  ASSERT_TRUE(waitUntil([] { return pageOf(main)->renderProcessPid() > 0; }));
  QSignalSpy ended(pageOf(main), &QWebEnginePage::renderProcessTerminated);
  ASSERT_EQ(::kill(static_cast<pid_t>(pageOf(main)->renderProcessPid()), SIGKILL), 0);
  ASSERT_TRUE(waitUntil([&] { return ended.count() > 0; }));
  EXPECT_EQ(windowtest::label(main, "StatusPanel1")->text(),
            QString::fromLatin1(browser::WebEngineBrowser::kPageProcessEnded));
  EXPECT_EQ(windowtest::box(main)->currentText(), server->url(QStringLiteral("/a")));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Page A - Hushleaf Browser"));
  EXPECT_TRUE(main->isVisible());

  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->action(QStringLiteral("Toolbar/Refresh"))->trigger();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(runJs(main, QStringLiteral("document.title")), QStringLiteral("Page A"));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Page A - Hushleaf Browser"));
}

TEST_F(WindowFaults, StopEndsAStalledLoadAndABrokenResponseEndsOnItsOwn) {
  testsupport::HttpResponse stalled;
  stalled.body = testsupport::htmlPage(QStringLiteral("Late"), QStringLiteral("late")).toUtf8();
  stalled.delayMs = 120000;
  server->setPage(QStringLiteral("/stall"), stalled);
  testsupport::HttpResponse broken;
  broken.body =
      testsupport::htmlPage(QStringLiteral("Broken"), QString(200000, QLatin1Char('x'))).toUtf8();
  broken.cutAfterBytes = 2000;
  server->setPage(QStringLiteral("/broken"), broken);

  ASSERT_TRUE(loadAndWait(main, server->url(QStringLiteral("/a"))));
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(server->url(QStringLiteral("/stall")));
  ASSERT_TRUE(waitUntil([] { return server->requestCount("/stall") > 0; }));
  // While the server says nothing, the window still answers at once.
  QElapsedTimer clock;
  clock.start();
  bool ran = false;
  QTimer::singleShot(0, main, [&] { ran = true; });
  ASSERT_TRUE(waitUntil([&] { return ran; }, 1000));
  EXPECT_LT(clock.elapsed(), 200);
  clock.restart();
  main->action(QStringLiteral("Toolbar/Stop"))->trigger();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }, 5000)) << "Stop did not end the load";
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_NE(runJs(main, QStringLiteral("document.title")), QStringLiteral("Late"));

  // A server that breaks off mid-body: the load ends by itself, and the next one works.
  ASSERT_TRUE(loadAndWait(main, server->url(QStringLiteral("/broken")), 20000));
  ASSERT_TRUE(loadAndWait(main, server->url(QStringLiteral("/a"))));
  EXPECT_EQ(runJs(main, QStringLiteral("document.title")), QStringLiteral("Page A"));
}

TEST_F(WindowFaults, FiftyWindowsOpenedAndClosedGiveTheirMemoryBack) {
  const auto cycle = [](int count) {
    for (int i = 0; i < count; ++i) {
      main->LoadNewWindow(server->url(QStringLiteral("/a")));
      frmBrowser* w = frmBrowser::windows().last();
      ASSERT_NE(w, main);
      ASSERT_TRUE(waitUntil([&] { return pageOf(w)->title() == QStringLiteral("Page A"); }));
      w->close();  // deletes itself
      ASSERT_TRUE(waitUntil([] { return frmBrowser::windows().size() == 1; }));
    }
  };
  cycle(5);  // caches, fonts and the allocator settle
  pump(1000);
  const long before = residentKb();
  cycle(50);
  pump(2000);
  const long after = residentKb();
  ASSERT_GT(before, 0);
  std::printf("resident memory: %ld kB before, %ld kB after 50 windows (%.3fx)\n", before, after,
              static_cast<double>(after) / static_cast<double>(before));
  EXPECT_LE(after, before + before / 10);
  EXPECT_TRUE(main->isVisible());
}

}  // namespace
