// What a page may do beyond its window, as a user meets it: real windows under a window
// manager, real pages from the local server, the user's clicks through XTest.
#include "app/application.h"
#include "app/browser_window.h"
#include "browser/browser_engine.h"
#include "browser/webengine_browser.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineSettings>
#include <QWebEngineView>

using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

QWebEnginePage* pageOf(const app::BrowserWindow* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}
QString status(const app::BrowserWindow* w) {
  return w->findChild<QLabel*>("StatusPanel1")->text();
}

bool loadAndWait(app::BrowserWindow* w, const QString& url) {
  return testsupport::load(pageOf(w), [&] { w->engine()->load(url); });
}

// A button filling the top left of the page; its handler is `onclick`.
QString buttonPage(const QString& onclick) {
  return "<button id=b style='position:fixed;left:0;top:0;width:300px;height:200px' onclick=\"" +
         onclick + "\">press</button>";
}

class Popups : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    server = new testsupport::HttpServer();
    server->setPage("/b", "Page B", "<p>b</p>");
    server->setPage("/flood", "Flood",
                    "<script>for (var i = 0; i < 500; i++) window.open('/b?' + i);</script>");
    server->setPage("/twice", "Twice", buttonPage("window.open('/b?1'); window.open('/b?2')"));
    server->setPage("/storm", "Storm", "<script>setInterval(() => window.open('/b'), 50)</script>");
    server->setPage("/alerts", "Alerts", buttonPage("setInterval(() => alert(1), 10)"));
    server->setPage("/opens", "Opens", buttonPage("window.open('/b?offline')"));
    server->setPage("/ask", "Ask", buttonPage("alert('one'); alert('two'); alert('three')"));
    app::startApplication();
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
    ASSERT_TRUE(x::windowManagerReady());
  }
  static void TearDownTestSuite() { delete server; }

  void SetUp() override {
    opener = new app::BrowserWindow();
    opener->show();
    activate(opener);
  }
  void TearDown() override {
    for (app::BrowserWindow* w : app::BrowserWindow::windows()) {
      if (w != app::BrowserWindow::mainWindow()) {
        w->close();
      }
    }
    waitUntil([] { return app::BrowserWindow::windows().size() == 1; }, 10000);
  }

  // A page dialog answered with OK, and the page's dialogs stopped where the box offers it.
  static void stopDialogs(QWidget* modal) {
    if (auto* noMore = modal->findChild<QCheckBox*>("NoMoreDialogs")) {
      noMore->setChecked(true);
    }
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  }

  static void activate(QWidget* w) {
    w->activateWindow();
    w->raise();
    waitUntil([&] { return QApplication::activeWindow() == w; }, 3000);
  }

  // A user's click on the page's button: XTest motion and press.
  static void clickButton(app::BrowserWindow* w) {
    QWidget* view = w->engine()->widget();
    x::moveMouse(view->mapToGlobal(QPoint(150, 100)));
    x::click();
  }

  static int others() { return static_cast<int>(app::BrowserWindow::windows().size()) - 2; }

  static inline testsupport::HttpServer* server = nullptr;
  QPointer<app::BrowserWindow> opener;
};

TEST_F(Popups, ScriptOpensAWindowOnlyForAClickAndOnlyOnePerClick) {
  const int before = others();
  ASSERT_TRUE(loadAndWait(opener, server->url("/flood")));
  ASSERT_TRUE(waitUntil([&] { return status(opener) == "Pop-up blocked"; }));
  testsupport::pump(500);  // any window the flood made would be there by now
  EXPECT_EQ(others(), before);
  EXPECT_EQ(server->requestCount("/b?0"), 0);
  // Two opens in one click: the first opens, the second is refused and said so.
  ASSERT_TRUE(loadAndWait(opener, server->url("/twice")));
  QSignalSpy blocked(opener->engine(), &browser::BrowserEngine::popupBlocked);
  for (int click = 1; click <= 2; ++click) {
    activate(opener);
    clickButton(opener);
    ASSERT_TRUE(waitUntil([&] { return others() == before + click; })) << click;
    EXPECT_TRUE(waitUntil([&] { return blocked.count() == click; })) << click;
  }
  EXPECT_EQ(status(opener), "Pop-up blocked");
  EXPECT_EQ(server->requestCount("/b?2"), 0);
}

// The opener closes at each stage of its pop-up's making; the pop-up the engine asked for
// stands and nothing is freed under the engine.
TEST_F(Popups, ClosingTheOpenerWhileItsPopupIsMadeLeavesBothWindowsWhole) {
  enum class Stage { QueuedAtRequest, DirectAtRequest, QueuedWhileMade, DirectWhenShown };
  for (const Stage stage : {Stage::QueuedAtRequest, Stage::DirectAtRequest, Stage::QueuedWhileMade,
                            Stage::DirectWhenShown}) {
    SCOPED_TRACE(static_cast<int>(stage));
    QPointer<app::BrowserWindow> w = new app::BrowserWindow();
    w->show();
    // This page may open windows by script: the storm goes through the whole path.
    pageOf(w)->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    const auto known = app::BrowserWindow::windows();
    bool closing = false;
    // Sees each new window as it is made, inside the engine's call.
    struct Watch : QObject {
      std::function<void(QObject*, QEvent*)> seen;
      bool eventFilter(QObject* o, QEvent* e) override {
        seen(o, e);
        return false;
      }
    } watch;
    watch.seen = [&](QObject* o, QEvent* e) {
      auto* made = qobject_cast<app::BrowserWindow*>(o);
      if (closing || made == nullptr || known.contains(made) || w.isNull()) {
        return;
      }
      if ((stage == Stage::QueuedWhileMade && e->type() == QEvent::ChildAdded) ||
          (stage == Stage::DirectWhenShown && e->type() == QEvent::Show)) {
        closing = true;
        if (stage == Stage::QueuedWhileMade) {
          QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
        } else {
          w->close();
        }
      }
    };
    qApp->installEventFilter(&watch);
    QObject::connect(w->engine(), &browser::BrowserEngine::newWindowRequested, w,
                     [&](browser::BrowserEngine**, bool*) {
                       if (closing) {
                         return;
                       }
                       if (stage == Stage::QueuedAtRequest) {
                         closing = true;
                         QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
                       } else if (stage == Stage::DirectAtRequest) {
                         closing = true;
                         w->close();
                       }
                     });
    w->engine()->load(server->url("/storm"));
    ASSERT_TRUE(waitUntil([&] { return w.isNull(); }));
    qApp->removeEventFilter(&watch);
    // Every pop-up the engine was handed is a whole window on its page.
    const auto windows = app::BrowserWindow::windows();
    int popups = 0;
    for (app::BrowserWindow* p : windows) {
      if (!known.contains(p)) {
        ++popups;
        EXPECT_TRUE(p->isVisible());
        EXPECT_TRUE(waitUntil([&] { return p->engine()->url() == server->url("/b"); }));
      }
    }
    EXPECT_GE(popups, 1);
    for (app::BrowserWindow* p : windows) {
      if (!known.contains(p)) {
        p->close();
      }
    }
  }
}

TEST_F(Popups, APopupOfAnOfflineWindowIsOfflineToo) {
  ASSERT_TRUE(loadAndWait(opener, server->url("/opens")));
  opener->action("File/Work Offline")->trigger();
  ASSERT_TRUE(opener->engine()->isOffline());
  const int before = others();
  activate(opener);
  clickButton(opener);
  ASSERT_TRUE(waitUntil([&] { return others() == before + 1; }));
  const app::BrowserWindow* popup = app::BrowserWindow::windows().last();
  EXPECT_TRUE(popup->engine()->isOffline());
  EXPECT_TRUE(popup->action("File/Work Offline")->isChecked());
  EXPECT_TRUE(waitUntil([&] { return !pageOf(popup)->url().isEmpty(); }));
  testsupport::pump(500);
  EXPECT_EQ(server->requestCount("/b?offline"), 0);
}

TEST_F(Popups, TheUserCanStopAPagesDialogs) {
  ASSERT_TRUE(loadAndWait(opener, server->url("/ask")));
  int shown = 0;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    ++shown;
    stopDialogs(modal);
  });
  clickButton(opener);
  ASSERT_TRUE(waitUntil([&] { return shown == 2; }));
  EXPECT_TRUE(waitUntil([&] { return testsupport::runJs(pageOf(opener), "1").toInt() == 1; }));
  EXPECT_EQ(shown, 2);
}

// The window manager's close box on a window whose page keeps putting up dialogs: the
// window closes, and its dialog with it.
TEST_F(Popups, AWindowUnderItsPagesDialogClosesFromItsCloseBox) {
  const QPointer<app::BrowserWindow> w = opener;
  const auto wid = static_cast<std::uint32_t>(opener->winId());
  bool asked = false;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    if (asked) {
      return stopDialogs(modal);
    }
    asked = true;
    x::askToClose(wid);
    // Should the close never come, the dialogs are stopped so that the test can end.
    QTimer::singleShot(5000, modal, [modal] { stopDialogs(modal); });
  });
  ASSERT_TRUE(loadAndWait(opener, server->url("/alerts")));
  clickButton(opener);
  EXPECT_TRUE(waitUntil([&] { return w.isNull(); }, 15000)) << "the close box was ignored";
  EXPECT_TRUE(asked);
}

// Downloads a page starts without a click: the first asks where to save it, the next one
// whether the page may download several files, and the rest only if the user allowed it.
TEST_F(Popups, APageDownloadsSeveralFilesOnlyIfTheUserAllowsIt) {
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "f";
  QString script;
  for (const QString n : {"0", "1", "2"}) {
    server->setPage("/several" + n, file);
    script += "a = document.createElement('a'); a.href = '/several" + n +
              "'; a.download = 'f.txt'; document.body.append(a); a.click();";
  }
  server->setPage("/three", "Three", "<script>" + script + "</script>");
  for (const char* answer : {"Refuse", "Allow"}) {
    SCOPED_TRACE(answer);
    auto* w = new app::BrowserWindow();  // a page of its own: nothing asked before
    w->show();
    int saves = 0;
    int questions = 0;
    testsupport::ModalWatcher watcher([&](QWidget* modal) {
      if (modal->objectName() == "SeveralDownloads") {
        ++questions;
        return modal->findChild<QPushButton*>(answer)->click();
      }
      saves += qobject_cast<QFileDialog*>(modal) != nullptr ? 1 : 0;
      testsupport::ModalWatcher::dismiss(modal);
    });
    const bool allow = answer == std::string("Allow");
    w->engine()->load(server->url("/three"));
    // The last one may come while the question is up, and is refused then.
    EXPECT_TRUE(waitUntil([&] {
      return server->requestCount("/several2") > 0 && questions == 1 && saves >= (allow ? 2 : 1);
    }));
    testsupport::pump(300);  // nothing more comes
    EXPECT_EQ(questions, 1);
    if (!allow) {
      EXPECT_EQ(saves, 1);
    }
    server->clearRequests();
    delete w;
  }
}

// A page names its download with a path out of the folder: the Save dialog starts in the
// Downloads folder with the base name, and the file lands there and nowhere else.
TEST_F(Popups, ADownloadsNameFromThePageNeverPicksItsFolder) {
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  ASSERT_TRUE(QDir().mkpath(downloads));
  const QByteArray name = "../../.config/autostart/x.desktop";
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "[Desktop Entry]\nExec=false\n";
  server->setPage("/file", file);
  file.headers = {{"Content-Disposition", "attachment; filename=\"" + name + "\""}};
  server->setPage("/named", file);
  server->setPage("/linked", "Linked",
                  "<a id=a href='/file' download='" + name + "'>a</a><script>a.click()</script>");
  struct Row {
    const char* how;
    const char* page;
  };
  for (const Row& row : {Row{"Content-Disposition", "/named"}, Row{"download=", "/linked"}}) {
    SCOPED_TRACE(row.how);
    QFile::remove(downloads + "/x.desktop");
    auto* w = new app::BrowserWindow();  // a page of its own: its first download asks nothing more
    w->show();
    QString startedIn;
    QString offered;
    testsupport::ModalWatcher watcher([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) {
        return testsupport::ModalWatcher::dismiss(modal);
      }
      startedIn = dialog->directory().absolutePath();
      offered = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
      static_cast<QDialog*>(dialog)->accept();  // Save, as offered
    });
    w->engine()->load(server->url(row.page));
    EXPECT_TRUE(waitUntil([&] { return QFileInfo(downloads + "/x.desktop").size() == 27; }));
    EXPECT_EQ(startedIn.toStdString(), downloads.toStdString());
    EXPECT_EQ(offered.toStdString(), "x.desktop");
    EXPECT_EQ(watcher.seen(), 1);
  }
  QStringList written;
  for (QDirIterator it(QDir::homePath(), {"x.desktop*"}, QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    written << it.next();
  }
  EXPECT_EQ(written, QStringList{downloads + "/x.desktop"});
  EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/.config/autostart"));
}

// Every hostile act at once: pop-ups without a click, an alert loop, downloads named out
// of their folder, other programs' addresses, WebRTC candidates, and a local page reading
// the file beside it. Another window still closes with the user's Ctrl+W; no window, file,
// program, file content or address gets out. Pages tell what they got in their titles.
TEST_F(Popups, AHostilePageSetLeavesEveryOtherWindowWorkingAndLetsNothingOut) {
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "[Desktop Entry]\nExec=false\n";
  file.headers = {
      {"Content-Disposition", "attachment; filename=\"../../.config/autostart/hostile.desktop\""}};
  server->setPage("/evil", file);
  // Each act on its own, so that one the engine refuses by throwing stops no other.
  server->setPage("/hostile", "Hostile",
                  "<a id=a href='hlprobe:link'>a</a><script>"
                  "function act(f) { try { f(); } catch (e) {} }"
                  "act(() => { for (var i = 0; i < 200; i++) window.open('/b?' + i); });"
                  "act(() => { for (var i = 0; i < 5; i++) { var f = document.createElement("
                  "  'iframe'); f.src = '/evil?' + i; document.body.appendChild(f); } });"
                  "act(() => a.click()); act(() => window.open('hlprobe:open'));"
                  "act(() => { var f = document.createElement('iframe'); f.src = 'hlprobe:frame';"
                  "  document.body.appendChild(f); });"
                  "act(() => { var pc = new RTCPeerConnection({iceServers: []});"
                  "  pc.createDataChannel('d'); pc.onicecandidate = e => { if (e.candidate &&"
                  "  / typ (host|srflx|prflx)/.test(e.candidate.candidate))"
                  "  document.title += ' address'; };"
                  "  pc.createOffer().then(o => pc.setLocalDescription(o)); });"
                  "document.title += ' ran';"
                  "setTimeout(() => setInterval(() => alert(1), 10), 1000);</script>");
  QTemporaryDir dir;
  for (const auto& [name, content] :
       {std::pair<QString, QByteArray>{"secret.txt", "SECRET"},
        {"reader.htm",
         "<title>Reader</title><script>fetch('secret.txt').then(r => r.text())"
         ".then(t => { if (t.includes('SECRET')) document.title += ' file'; },"
         " () => {}).finally(() => document.title += ' done');</script>"}}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
  }
  server->clearRequests();

  // A download's Save dialog and the questions are refused; the alert stays up, as one the
  // user leaves alone while going to another window.
  bool alerted = false;
  testsupport::ModalWatcher watcher([&alerted](QWidget* modal) {
    if (modal->objectName() != QLatin1String("PageDialog")) {
      testsupport::ModalWatcher::dismiss(modal);
    }
    alerted = alerted || modal->objectName() == QLatin1String("PageDialog");
  });
  auto* reader = new app::BrowserWindow();
  reader->show();
  QPointer<app::BrowserWindow> other;
  int popups = 0;
  int keysSent = 0;
  QString told;
  bool done = false;
  // The steps run from a timer: a page dialog waiting in its own loop lets them go on.
  int step = 0;
  int loadedAt = 0;  // the step at which the hostile page had run
  QTimer steps;
  QObject::connect(&steps, &QTimer::timeout, [&] {
    ++step;
    popups = std::max(popups, others() - 1 - (other.isNull() ? 0 : 1));
    if (loadedAt == 0) {
      // Run, and its alert up over the window the user is in.
      loadedAt = alerted && pageOf(opener)->title().startsWith("Hostile ran") ? step : 0;
    } else if (step == loadedAt + 20) {  // two seconds on, the user opens another window
      other = new app::BrowserWindow();
      other->show();
    } else if (step == loadedAt + 30) {  // and clicks into it, on its status bar
      x::moveMouse(other->mapToGlobal(QPoint(other->width() - 8, other->height() - 6)));
      x::click();
    } else if (step > loadedAt + 30 && step % 10 == 0 && !other.isNull() &&
               QApplication::activeWindow() == other) {
      x::keys({0xffe3, 0x77});  // Ctrl+W
      ++keysSent;
    }
    if (step == 300 || (loadedAt > 0 && step > loadedAt + 30 && other.isNull())) {
      steps.stop();
      told = pageOf(opener)->title() + " / " + told;
      delete other.data();
      opener->close();
      done = true;
    }
  });
  // The reader first: the hostile page's dialogs would hold up the wait for its load.
  ASSERT_TRUE(loadAndWait(reader, QUrl::fromLocalFile(dir.filePath("reader.htm")).toString()));
  // What it read shows at once; it goes, and the user is back in the first window.
  ASSERT_TRUE(waitUntil([&] { return pageOf(reader)->title().endsWith(" done"); }));
  told = pageOf(reader)->title();
  reader->close();
  // The user is in the page's window, clicked on its status bar.
  x::moveMouse(opener->mapToGlobal(QPoint(opener->width() - 8, opener->height() - 6)));
  x::click();
  ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == opener; }));
  opener->engine()->load(server->url("/hostile"));
  steps.start(100);
  EXPECT_TRUE(waitUntil([&] { return done; }, 30000));
  EXPECT_TRUE(alerted && server->requestCount("/evil?0") == 1) << "the page did not run";
  EXPECT_TRUE(other.isNull() && keysSent > 0)
      << "the other window did not close with Ctrl+W (" << keysSent << " sent)";
  EXPECT_EQ(popups, 0) << "a pop-up opened without a click";
  EXPECT_EQ(told, "Hostile ran / Reader done") << "what the pages got hold of";
  EXPECT_EQ(testsupport::XSession::current()->desktopProgramsStarted(), "");
  QStringList written;
  for (QDirIterator it(QDir::homePath(), {"hostile.desktop*"}, QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    written << it.next();
  }
  EXPECT_EQ(written, QStringList{});
}

}  // namespace
