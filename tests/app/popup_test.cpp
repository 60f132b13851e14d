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
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
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
    server->setPage("/alerts", "Alerts", "<script>setInterval(() => alert(1), 10)</script>");
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
  QTest::qWait(500);  // any window the flood made would be there by now
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

QDialog* pageDialog(const app::BrowserWindow* w) {
  for (auto* d : w->findChildren<QDialog*>("PageDialog")) {
    if (d->isVisible()) {
      return d;
    }
  }
  return nullptr;
}

TEST_F(Popups, TheUserCanStopAPagesDialogs) {
  ASSERT_TRUE(loadAndWait(opener, server->url("/ask")));
  int shown = 0;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    ++shown;
    if (auto* noMore = modal->findChild<QCheckBox*>("NoMoreDialogs")) {
      noMore->setChecked(true);
    }
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  clickButton(opener);
  ASSERT_TRUE(waitUntil([&] { return shown == 2; }));
  EXPECT_TRUE(waitUntil([&] { return testsupport::runJs(pageOf(opener), "1").toInt() == 1; }));
  EXPECT_EQ(shown, 2);
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

}  // namespace
