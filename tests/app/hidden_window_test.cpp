// A hidden browser window as a user meets it: real windows under openbox, real pages from
// the local server, the pointer moved by XTest. A hidden window shows and sounds nothing,
// and comes back as it was.
#include "app/application.h"
#include "app/browser_window.h"
#include "app/hide_all.h"
#include "browser/webengine_browser.h"
#include "platform/app_title.h"
#include "platform/global_key.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

using testsupport::ModalWatcher;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kZone(1150, 950);  // the 1280x1024 screen's zone starts at 1024, 819
const QPoint kAway(40, 40);     // outside every window and the zone

QWebEnginePage* pageOf(const app::BrowserWindow* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}
std::uint32_t id(const app::BrowserWindow* w) { return static_cast<std::uint32_t>(w->winId()); }
QString statusText(const app::BrowserWindow* w) {
  return w->findChild<QLabel*>(QStringLiteral("StatusPanel1"))->text();
}

// The caption as another program reads it, from both of its properties.
QString xCaption(const app::BrowserWindow* w) {
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
    app::startApplication();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
  }
  static void TearDownTestSuite() {
    delete server;
    delete tls;
  }

  void SetUp() override {
    w = new app::BrowserWindow();
    w->setGeometry(300, 200, 640, 480);
    w->show();
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id(w)); }));
  }
  void TearDown() override {
    x::moveMouse(kAway);
    for (app::BrowserWindow* other : app::BrowserWindow::windows()) {
      if (other != app::BrowserWindow::mainWindow()) {
        delete other;
      }
    }
    platform::AppTitle::set(platform::applicationTitle());
  }

  // As a user does it: "ZodorAzev" pressed, the pointer in and out again.
  void enterWithAutoHide() {
    w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(true);
    x::moveMouse(w->frameGeometry().center());
    ASSERT_TRUE(waitUntil([&] { return w->autoHide().state().entered; }));
  }
  void leave() {
    x::moveMouse(kAway);
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(id(w)); }));
  }
  void hideByAutoHide() {
    enterWithAutoHide();
    leave();
  }
  // The user then works in the window once it is back: a page's dialog waits for its
  // window to be active. Goes on while the timer lives.
  [[nodiscard]] std::unique_ptr<QTimer> activateOnceBack() const {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, w, [window = w] {
      if (window->isVisible() && !window->isActiveWindow()) {
        window->activateWindow();
      }
    });
    timer->start(50);
    return timer;
  }
  void restoreByZone() {
    x::moveMouse(kZone);
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id(w)) && w->isVisible(); }));
    x::moveMouse(kAway);
    w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(false);
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline testsupport::HttpServer* tls = nullptr;
  app::BrowserWindow* w = nullptr;
};

TEST_F(HiddenWindow, APageIsStillAndSilentWhileHiddenAndComesBackAsItWas) {
  for (const bool userMuted : {false, true}) {
    SCOPED_TRACE(userMuted ? "muted by the user" : "not muted");
    ModalWatcher watcher;
    enterWithAutoHide();
    ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->load(server->url("/busy")); }));
    pageOf(w)->setAudioMuted(userMuted);
    leave();
    testsupport::pump(300);  // requests sent before the hide are read by now
    server->clearRequests();
    testsupport::pump(3000);  // the alert's time passes while hidden; fetches would come
    EXPECT_LE(server->requestCount("/ping"), 1);
    EXPECT_EQ(watcher.seen(), 0);
    EXPECT_TRUE(pageOf(w)->isAudioMuted());
    EXPECT_EQ(pageOf(w)->lifecycleState(), QWebEnginePage::LifecycleState::Frozen);

    const auto activate = activateOnceBack();
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
  ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->load(server->url("/b")); }));
  ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->load(server->url("/ping")); }));
  ASSERT_TRUE(waitUntil([&] { return xCaption(w) == "Ping - Hushleaf Browser"; }, 5000))
      << xCaption(w).toStdString();
  hideByAutoHide();
  EXPECT_EQ(xCaption(w), "");
  emit w->engine()->titleChanged(QStringLiteral("  News  "));  // kept for later
  EXPECT_EQ(w->windowTitle(), "");
  EXPECT_EQ(xCaption(w), "");

  // Another window opened meanwhile, and a certificate question in it.
  app::BrowserWindow* other = app::BrowserWindow::mainWindow();
  other->action(QStringLiteral("File/New"))->trigger();
  app::BrowserWindow* opened = app::BrowserWindow::windows().last();
  ASSERT_NE(opened, w);
  ASSERT_TRUE(waitUntil([&] { return x::viewable(id(opened)); }));
  EXPECT_EQ(xCaption(opened), "");
  opened->engine()->load(tls->url("/secret"));
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
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "download body";
  file.headers.append(qMakePair(QByteArray("Content-Disposition"),
                                QByteArray("attachment; filename=\"late.bin\"")));
  server->setPage("/late-download", file);
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  // What a page does the moment its window hides, still within the user's last click.
  const struct {
    QString onHide;
    std::optional<QString> said;  // in the status bar once back; none: the certificate question
  } rows[] = {
      {"window.open('/b')", "Pop-up blocked"},
      {"location.href = '/late-download'", "Download refused while hidden"},
      {"location.href = 'mailto:someone@example.com'",
       "No other program was started for this \"mailto:\" address."},
      {"print()", QString()},
      {"location.href = '" + tls->url("/secret") + "'", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.onHide.toStdString());
    server->setPage("/late", "Late",
                    "<p style='height:100vh'>late</p><script>"
                    "document.addEventListener('visibilitychange', () => {"
                    "  if (document.hidden) " +
                        row.onHide + "; });</script>");
    ASSERT_TRUE(testsupport::load(pageOf(w), [&] { w->engine()->load(server->url("/late")); }));
    const auto windows = app::BrowserWindow::windows().size();
    // The certificate question is the test's own to answer; anything else that shows is
    // dismissed and counted.
    ModalWatcher watcher([](QWidget* modal) {
      if (qobject_cast<QMessageBox*>(modal) == nullptr) {
        ModalWatcher::dismiss(modal);
      }
    });
    enterWithAutoHide();
    x::click();  // the page has the user's click when it hides
    leave();
    testsupport::pump(3000);
    EXPECT_EQ(watcher.seen(), 0);
    EXPECT_EQ(app::BrowserWindow::windows().size(), windows);
    EXPECT_EQ(w->findChild<QMessageBox*>(), nullptr);
    EXPECT_EQ(QDir(downloads).entryList(QDir::Files).size(), 0);

    restoreByZone();
    if (row.said) {
      if (!row.said->isEmpty()) {
        EXPECT_TRUE(waitUntil([&] { return statusText(w) == *row.said; }, 3000))
            << statusText(w).toStdString();
      }
      testsupport::pump(1000);  // nothing asked for while hidden comes now either
      EXPECT_EQ(watcher.seen(), 0);
    } else {
      // The certificate question comes now, and the site stays closed until answered.
      QMessageBox* box = nullptr;
      ASSERT_TRUE(waitUntil([&] { return (box = w->findChild<QMessageBox*>()) != nullptr; }));
      EXPECT_EQ(box->windowTitle(), "Hushleaf Browser");
      box->findChild<QPushButton*>(QStringLiteral("GoBack"))->click();
      EXPECT_EQ(tls->requestCount("/secret"), 0);
    }
    EXPECT_EQ(app::BrowserWindow::windows().size(), windows);
  }
}

// ---- The hide-all key ---------------------------------------------------------------

constexpr std::uint32_t kControl = 0xffe3, kAlt = 0xffe9, kShift = 0xffe1, kNumLock = 0xff7f;
constexpr std::uint32_t kCapsLock = 0xffe5;

// Our windows as the window manager stacks them, bottom to top.
std::vector<std::uint32_t> stacking(const QList<app::BrowserWindow*>& ours) {
  std::vector<std::uint32_t> out;
  for (const std::uint32_t wid : platform::clientStackingOrder()) {
    if (std::any_of(ours.begin(), ours.end(),
                    [&](const app::BrowserWindow* w) { return id(w) == wid; })) {
      out.push_back(wid);
    }
  }
  return out;
}

TEST_F(HiddenWindow, TheHideAllKeyHidesEveryWindowAndBringsThemBackAsTheyWere) {
  ASSERT_EQ(app::HideAll::instance().keys(), app::HideAll::defaultKeys());
  auto* a = new app::BrowserWindow();
  a->setGeometry(500, 300, 500, 400);
  a->show();
  auto* b = new app::BrowserWindow();
  b->setGeometry(200, 400, 500, 400);
  b->show();
  ASSERT_TRUE(waitUntil([&] { return x::viewable(id(a)) && x::viewable(id(b)); }));
  // The middle one has the keyboard, in its address box.
  for (app::BrowserWindow* top : {b, w, a}) {
    top->activateWindow();
    top->raise();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == top; }, 5000));
  }
  QWidget* box = a->findChild<QWidget*>(QStringLiteral("txtURL"));
  box->setFocus();
  const auto all = app::BrowserWindow::windows();
  const auto order = stacking(all);
  ASSERT_EQ(order.size(), static_cast<std::size_t>(all.size()));
  // "ZodorAzev" pressed in one of them: the zone does not bring a window the key hid.
  w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(true);

  x::keys({kControl, kAlt, kShift, 'h'});
  for (app::BrowserWindow* one : all) {
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(id(one)); }, 5000));
    EXPECT_EQ(xCaption(one), "");
  }
  EXPECT_EQ(platform::AppTitle::get(), "");
  EXPECT_EVENTUALLY_EQ(pageOf(a)->lifecycleState(), QWebEnginePage::LifecycleState::Frozen);
  x::moveMouse(kZone);
  testsupport::pump(1500);
  EXPECT_FALSE(x::viewable(id(w)));

  // Again with Num Lock and Caps Lock on: the key works whatever the locks are.
  x::keys({kNumLock});
  x::keys({kCapsLock});
  x::keys({kControl, kAlt, kShift, 'h'});
  x::keys({kNumLock});
  x::keys({kCapsLock});
  for (app::BrowserWindow* one : all) {
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id(one)) && one->isVisible(); }, 5000));
  }
  EXPECT_TRUE(waitUntil([&] { return stacking(all) == order; }, 5000));
  EXPECT_TRUE(waitUntil([&] { return QApplication::activeWindow() == a; }, 5000));
  EXPECT_EQ(QApplication::focusWidget(), box->focusProxy() ? box->focusProxy() : box);
  EXPECT_EQ(xCaption(w), w->windowTitle());
  EXPECT_EQ(platform::AppTitle::get(), platform::applicationTitle());
  w->action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(false);
}

TEST_F(HiddenWindow, AKeyAnotherProgramHoldsIsToldInTheDialogAndTheStatusBar) {
  // Another program holds Ctrl+Alt+Shift+J.
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  const std::uint32_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
  const auto j = x::keycode('j');
  ASSERT_TRUE(j.has_value());
  xcb_grab_key(other, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT, *j,
               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));

  w->action(QStringLiteral("Tools/Hide-All Key"))->trigger();
  QDialog* dialog = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    dialog = w->findChild<QDialog*>(QStringLiteral("HideAllKeyDialog"));
    return dialog != nullptr && dialog->isVisible();
  }));
  auto* keys = dialog->findChild<QKeySequenceEdit*>(QStringLiteral("Keys"));
  auto* problem = dialog->findChild<QLabel*>(QStringLiteral("Problem"));
  EXPECT_EQ(keys->keySequence(), app::HideAll::defaultKeys());
  const QKeySequence taken(QStringLiteral("Ctrl+Alt+Shift+J"));
  keys->setKeySequence(taken);
  dialog->accept();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(problem->text(), app::HideAll::takenText(taken));
  EXPECT_EQ(statusText(w), app::HideAll::takenText(taken));
  EXPECT_EQ(app::HideAll::instance().keys(), app::HideAll::defaultKeys());  // still held

  // A free one is taken and kept in the settings store; the default again after.
  const QKeySequence free(QStringLiteral("Ctrl+Alt+Shift+K"));
  keys->setKeySequence(free);
  dialog->accept();
  EXPECT_TRUE(waitUntil([&] { return w->findChild<QDialog*>() == nullptr; }, 3000));
  EXPECT_EQ(app::HideAll::instance().keys(), free);
  EXPECT_EQ(app::HideAll::storedKeys(), free);
  EXPECT_TRUE(app::HideAll::instance().setKeys(app::HideAll::defaultKeys()));
  xcb_disconnect(other);
}

}  // namespace
