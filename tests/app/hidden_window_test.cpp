// A hidden browser window as a user meets it: real windows under openbox, real pages from
// the local server, the pointer moved by XTest. A hidden window shows and sounds nothing,
// and comes back as it was.
#include "app/db_main.h"
#include "app/frm_browser.h"
#include "browser/webengine_browser.h"
#include "platform/app_title.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QWebEnginePage>

using testsupport::ModalWatcher;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kZone(1150, 950);  // the 1280x1024 screen's zone starts at 1024, 819
const QPoint kAway(40, 40);     // outside every window and the zone

QWebEnginePage* pageOf(const frmBrowser* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}
std::uint32_t id(const frmBrowser* w) { return static_cast<std::uint32_t>(w->winId()); }
QString statusText(const frmBrowser* w) {
  return w->findChild<QLabel*>(QStringLiteral("StatusPanel1"))->text();
}

// The caption as another program reads it, from both of its properties.
QString xCaption(const frmBrowser* w) {
  const QByteArray net = x::property(id(w), "_NET_WM_NAME").value_or(QByteArray());
  const QByteArray old = x::property(id(w), "WM_NAME").value_or(QByteArray());
  return net == old ? QString::fromUtf8(net) : QStringLiteral("<%1|%2>").arg(net, old);
}

class HiddenWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    x::moveMouse(kAway);
    server = new testsupport::HttpServer();
    // Asks the server every 200 ms; says hello after a second and a half.
    server->setPage("/busy", "Busy",
                    "<script>setInterval(() => fetch('/ping', {cache: 'no-store'}), 200);"
                    "setTimeout(() => alert('hi'), 1500);</script>");
    server->setPage("/ping", "Ping", "pong");
    server->setPage("/b", "Page B", "<p>b</p>");
    tls = new testsupport::HttpServer(testsupport::HttpServer::Transport::UntrustedTls);
    tls->setPage("/secret", "Secret", "<p>s</p>");
    app::Main();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
  }
  static void TearDownTestSuite() {
    delete server;
    delete tls;
  }

  void SetUp() override {
    w = new frmBrowser();
    w->setGeometry(300, 200, 640, 480);
    w->show();
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id(w)); }));
  }
  void TearDown() override {
    x::moveMouse(kAway);
    for (frmBrowser* other : frmBrowser::windows()) {
      if (other != frmBrowser::mainWindow()) {
        delete other;
      }
    }
    platform::AppTitle::set(platform::applicationTitle());
  }

  // As a user does it: ZodorAzev pressed, the pointer in and out again.
  void enterWithZodorAzev() {
    w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(true);
    x::moveMouse(w->frameGeometry().center());
    ASSERT_TRUE(waitUntil([&] { return w->zodorAzev().state().blnEntered; }));
  }
  void leave() {
    x::moveMouse(kAway);
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(id(w)); }));
  }
  void hideByZodorAzev() {
    enterWithZodorAzev();
    leave();
  }
  void restoreByZone() {
    x::moveMouse(kZone);
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id(w)) && w->isVisible(); }));
    x::moveMouse(kAway);
    w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(false);
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline testsupport::HttpServer* tls = nullptr;
  frmBrowser* w = nullptr;
};

TEST_F(HiddenWindow, APageIsStillAndSilentWhileHiddenAndComesBackAsItWas) {
  for (const bool userMuted : {false, true}) {
    SCOPED_TRACE(userMuted ? "muted by the user" : "not muted");
    ModalWatcher watcher;
    enterWithZodorAzev();
    ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->Navigate(server->url("/busy")); }));
    pageOf(w)->setAudioMuted(userMuted);
    leave();
    testsupport::pump(300);  // requests sent before the hide are read by now
    server->clearRequests();
    testsupport::pump(3000);  // the alert's time passes while hidden; fetches would come
    EXPECT_LE(server->requestCount("/ping"), 1);
    EXPECT_EQ(watcher.seen(), 0);
    EXPECT_TRUE(pageOf(w)->isAudioMuted());
    EXPECT_EQ(pageOf(w)->lifecycleState(), QWebEnginePage::LifecycleState::Frozen);

    restoreByZone();
    EXPECT_EQ(pageOf(w)->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    EXPECT_EQ(pageOf(w)->isAudioMuted(), userMuted);
    EXPECT_TRUE(waitUntil([&] { return server->requestCount("/ping") >= 3; }, 5000));
    // The page goes on where it stopped: the alert that fell due comes now.
    EXPECT_TRUE(waitUntil([&] { return watcher.seen() == 1; }, 5000));
  }
}

TEST_F(HiddenWindow, NoCaptionCarriesTheTitleOrTheNameWhileTheApplicationTitleIsEmpty) {
  // The first document of a new window gives the application title, the next its own.
  ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->Navigate(server->url("/b")); }));
  ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->Navigate(server->url("/ping")); }));
  ASSERT_TRUE(waitUntil([&] { return xCaption(w) == "Ping - Hushleaf Browser"; }, 5000))
      << xCaption(w).toStdString();
  hideByZodorAzev();
  EXPECT_EQ(xCaption(w), "");
  emit w->engine()->TitleChange(QStringLiteral("  News  "));  // kept for later
  EXPECT_EQ(w->windowTitle(), "");
  EXPECT_EQ(xCaption(w), "");

  // Another window opened meanwhile, and a certificate question in it.
  frmBrowser* other = frmBrowser::mainWindow();
  other->action(QStringLiteral("File/New"))->trigger();
  frmBrowser* opened = frmBrowser::windows().last();
  ASSERT_NE(opened, w);
  ASSERT_TRUE(waitUntil([&] { return x::viewable(id(opened)); }));
  EXPECT_EQ(xCaption(opened), "");
  opened->engine()->Navigate(tls->url("/secret"));
  QMessageBox* box = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (box = opened->findChild<QMessageBox*>()) != nullptr; }));
  ASSERT_TRUE(waitUntil([&] { return box->isVisible(); }));
  EXPECT_EQ(x::property(static_cast<std::uint32_t>(box->winId()), "WM_NAME").value_or("?"), "");
  box->reject();

  restoreByZone();
  EXPECT_EQ(xCaption(w), "News - Hushleaf Browser");
  EXPECT_EQ(w->windowTitle(), "News - Hushleaf Browser");
}

TEST_F(HiddenWindow, WhatAPageAsksForWhileHiddenIsRefusedOrWaitsAndIsToldOnReturn) {
  server->setPage("/late-popup", "Late", "<script>window.open('/b'); alert('hi');</script>");
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "download body";
  file.headers.append(qMakePair(QByteArray("Content-Disposition"),
                                QByteArray("attachment; filename=\"late.bin\"")));
  server->setPage("/late-download", file);
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  const struct {
    QString address;
    QString said;  // in the status bar once back
  } rows[] = {
      {server->url("/late-popup"), "Pop-up blocked"},
      {server->url("/late-download"), "Download refused while hidden"},
      {tls->url("/secret"), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.address.toStdString());
    const auto windows = frmBrowser::windows().size();
    {
      ModalWatcher watcher;
      w->zodorAzev().hideNow();
      ASSERT_FALSE(x::viewable(id(w)));
      w->engine()->Navigate(row.address);  // the page loads while hidden, and wakes meanwhile
      testsupport::pump(3000);
      EXPECT_EQ(watcher.seen(), 0);
    }
    EXPECT_EQ(frmBrowser::windows().size(), windows);
    EXPECT_EQ(w->findChild<QMessageBox*>(), nullptr);
    EXPECT_EQ(QDir(downloads).entryList(QDir::Files).size(), 0);

    w->zodorAzev().restoreNow();
    ASSERT_TRUE(waitUntil([&] { return w->isVisible(); }));
    if (!row.said.isEmpty()) {
      EXPECT_TRUE(waitUntil([&] { return statusText(w) == row.said; }, 3000))
          << statusText(w).toStdString();
    } else {
      // The certificate question comes now, and the site stays closed until answered.
      QMessageBox* box = nullptr;
      ASSERT_TRUE(waitUntil([&] { return (box = w->findChild<QMessageBox*>()) != nullptr; }));
      EXPECT_EQ(box->windowTitle(), "Hushleaf Browser");
      box->findChild<QPushButton*>(QStringLiteral("GoBack"))->click();
      EXPECT_EQ(tls->requestCount("/secret"), 0);
    }
    EXPECT_EQ(frmBrowser::windows().size(), windows);
  }
}

}  // namespace
