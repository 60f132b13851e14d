// The browser window as a user meets it: real windows on a private X server, real
// pages from a local HTTP server, real key events.
#include "app/browser_window.h"
#include "app/application.h"
#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/find_bar.h"
#include "browser/start_page.h"
#include "browser/webengine_browser.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <csignal>

using testsupport::ModalWatcher;
using testsupport::waitUntil;

namespace {

browser::AddressBox* box(const app::BrowserWindow* w) {
  return w->findChild<browser::AddressBox*>("txtURL");
}
QLineEdit* edit(const app::BrowserWindow* w) { return box(w)->lineEdit(); }
QSlider* slider(const app::BrowserWindow* w) { return w->findChild<QSlider*>("Slider1"); }
QLabel* label(const app::BrowserWindow* w, const char* name) {
  return w->findChild<QLabel*>(QLatin1String(name));
}

// The window's _NET_WM_STATE, its atoms by name, sorted.
QString wmState(const app::BrowserWindow* w) {
  const auto raw =
      testsupport::x::property(static_cast<std::uint32_t>(w->winId()), "_NET_WM_STATE");
  QStringList names;
  for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                           "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_ABOVE"}) {
    const std::uint32_t atom = testsupport::x::atom(name);
    if (raw && raw->contains(QByteArray(reinterpret_cast<const char*>(&atom), 4))) {
      names << QLatin1String(name);
    }
  }
  names.sort();
  return names.join(u' ');
}

QWebEnginePage* pageOf(const app::BrowserWindow* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}

// The result of a script in the window's page, as text; empty when none comes in time.
QString runJs(const app::BrowserWindow* w, const QString& script) {
  return testsupport::runJs(pageOf(w), script).toString();
}

// Navigates the engine and waits for the document (error pages are documents too).
bool loadAndWait(app::BrowserWindow* w, const QString& url, int timeoutMs = 15000) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::loadFinished);
  w->engine()->load(url);
  return testsupport::waitUntil([&] { return done.count() > 0; }, timeoutMs);
}

// As a user does it: the address typed into the box, then Enter.
bool goTo(app::BrowserWindow* w, const QString& url) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::loadFinished);
  edit(w)->setText(url);
  emit box(w)->navigateRequested(url);
  return testsupport::waitUntil([&] { return done.count() > 0; });
}

class BrowserWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A", "<p id=t>alpha needle needle needle</p>");
    server->setPage("/b", "  Page B  ", "<p>b</p>");
    server->setPage("/popup", "Opener", "<script>function go(){window.open('/b');}</script>");
    testsupport::HttpResponse slow;
    slow.delayMs = 60000;
    server->setPage("/stall", slow);
    testsupport::HttpResponse broken;
    broken.body = testsupport::htmlPage("Broken", QString(200000, QLatin1Char('x'))).toUtf8();
    broken.cutAfterBytes = 2000;
    server->setPage("/broken", broken);
    tls = new testsupport::HttpServer(testsupport::HttpServer::Transport::UntrustedTls);
    tls->setPage("/secret", "Secret", "<p>s</p>");
    app::startApplication();
    // The suite keeps running when windows close, the main window's too.
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
  }

  static void TearDownTestSuite() {
    delete server;
    delete tls;
  }

  // Each test starts with a main window as the user leaves it: loud, opaque, online.
  void SetUp() override {
    if (app::BrowserWindow::mainWindow() == nullptr) {  // a test closed it
      (new app::BrowserWindow())->show();
    }
    main = app::BrowserWindow::mainWindow();
    main->engine()->setSilent(false);
    slider(main)->setValue(255);
    if (main->engine()->isOffline()) {
      main->action("File/Work Offline")->trigger();
    }
  }

  void TearDown() override {
    // Only the main window stays from one test to the next.
    for (app::BrowserWindow* w : app::BrowserWindow::windows()) {
      if (w != main) {
        delete w;
      }
    }
  }

  static void activate(app::BrowserWindow* w) {
    w->activateWindow();
    w->raise();
    waitUntil([&] { return QApplication::activeWindow() == w; }, 3000);
  }

  static QString location(const app::BrowserWindow* w) { return w->engine()->url(); }

  // The certificate warning the window shows, if any (an answered one may linger unseen).
  static QMessageBox* certificateWarning(const app::BrowserWindow* w) {
    for (auto* box : w->findChildren<QMessageBox*>("CertificateWarning")) {
      if (box->isVisible()) {
        return box;
      }
    }
    return nullptr;
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline testsupport::HttpServer* tls = nullptr;
  static inline app::BrowserWindow* main = nullptr;
};

TEST_F(BrowserWindow, StartsOnTheStartPageAndTheStatusBarReadsAsItsText) {
  // A new window on the start page, as the program opens its first one.
  auto* w = new app::BrowserWindow();
  w->show();
  ASSERT_TRUE(loadAndWait(w, browser::currentStartPageAddress()));
  EXPECT_EVENTUALLY_EQ(box(w)->currentText(), "http://www.");
  // The caret stands after the offered "www.": typing goes on from there.
  QTest::keyClicks(box(w), QStringLiteral("example.test"));
  EXPECT_EQ(box(w)->currentText(), "http://www.example.test");
  EXPECT_EQ(w->windowTitle(), "Hushleaf Browser");
  EXPECT_EQ(slider(w)->value(), 255);
  EXPECT_FALSE(w->action("Toolbar/ZodorAzev")->isChecked());
  EXPECT_TRUE(runJs(w, "document.body.innerText").contains("LOWER RIGHT portion of the screen."));
  emit w->engine()->statusTextChanged("  word  ");
  EXPECT_EQ(
      QAccessible::queryAccessibleInterface(label(w, "StatusPanel1"))->text(QAccessible::Name),
      "word");
}

// Below the menu bar: the two bands (toolbar row 40, address row 21), the page, two bare rows
// and the status bar (21); the page leaves the last column bare too. A window too short for
// the bars shows no page, and the page comes back with the room.
TEST_F(BrowserWindow, TheBarsKeepTheirHeightsAndThePageTakesTheRest) {
  auto* w = new app::BrowserWindow();
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  const int menu = w->menuBar()->height();
  // What shows of a control below the menu bar, as "x,y wxh"; "-" while nothing does.
  const auto place = [w, menu](const QWidget* c) {
    QRect shown = c->rect();
    for (; c != w; c = c->parentWidget()) {
      shown = shown.translated(c->pos()) & c->parentWidget()->rect();
    }
    shown.translate(0, -menu);
    return shown.isEmpty() ? QStringLiteral("-")
                           : QStringLiteral("%1,%2 %3x%4")
                                 .arg(shown.x())
                                 .arg(shown.y())
                                 .arg(shown.width())
                                 .arg(shown.height());
  };
  const auto layout = [&] {
    return QStringList{place(w->findChild<QWidget*>("CoolBar1")),
                       place(w->findChild<QWidget*>("Toolbar1")), place(box(w)->parentWidget()),
                       place(w->engine()->widget()), place(w->findChild<QWidget*>("StatusBar1"))}
        .join(QStringLiteral(" | "));
  };
  EXPECT_EQ(w->size(), QSize(581, 416 + menu));
  const struct {
    QSize inner;
    const char* layout;
  } rows[] = {
      {{581, 416}, "0,0 581x68 | 0,2 581x40 | 0,44 581x21 | 0,68 580x325 | 0,395 581x21"},
      {{700, 500}, "0,0 700x68 | 0,2 700x40 | 0,44 700x21 | 0,68 699x409 | 0,479 700x21"},
      {{300, 92}, "0,0 300x68 | 0,2 300x40 | 0,44 300x21 | 0,68 299x1 | 0,71 300x21"},
      {{300, 91}, "0,0 300x68 | 0,2 300x40 | 0,44 300x21 | - | 0,70 300x21"},
      {{800, 40}, "0,0 800x40 | 0,2 800x38 | - | - | 0,19 800x21"},
      {{581, 416}, "0,0 581x68 | 0,2 581x40 | 0,44 581x21 | 0,68 580x325 | 0,395 581x21"},
  };
  for (const auto& r : rows) {
    w->resize(r.inner + QSize(0, menu));
    EXPECT_EVENTUALLY_EQ(layout(), r.layout);
  }
}

// Every key works from the page, the address box and the toolbar alike: the focused
// control's own use of a key of the window gives way.
TEST_F(BrowserWindow, KeysEveryBrowserHas) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  ASSERT_TRUE(loadAndWait(main, server->url("/b")));
  main->action("View/Text Size/Medium")->trigger();
  activate(main);
  enum class From { Page, Box, Toolbar };
  const auto page = [] { return main->findChild<QWebEngineView*>()->focusProxy(); };
  const auto focus = [&](From from) {
    from == From::Page  ? page()->setFocus()
    : from == From::Box ? box(main)->setFocus()
                        : slider(main)->setFocus();
  };
  const auto where = [](From from) {
    return from == From::Page  ? " from the page"
           : from == From::Box ? " from the box"
                               : " from the toolbar";
  };
  const auto level = [] { return main->engine()->textSize(); };
  const auto selectedBox = [] {
    return box(main)->hasFocus() && edit(main)->selectedText() == edit(main)->text();
  };
  const auto pageSelected = [] { return runJs(main, "getSelection().toString()") == "b"; };
  auto* bar = main->findChild<browser::FindBar*>("FindBar");
  const auto finding = [bar] {
    return bar->isVisible() && bar->findChild<QLineEdit*>()->hasFocus();
  };
  int fetched = 0;  // requests for the page before the key
  QSignalSpy documents(main->engine(), &browser::BrowserEngine::loadFinished);
  qsizetype finished = 0;  // documents before the key
  // Fetched again, and finished, so the next key meets a page at rest.
  const auto refreshed = [&] {
    return server->requestCount("/b") > fetched && documents.count() > finished;
  };
  const auto at = [](const char* path) {
    return [path] { return location(main) == server->url(path); };
  };
  const auto source = [] { return location(main).startsWith("view-source:"); };
  const auto home = [] { return location(main).startsWith("res:"); };
  const struct {
    QKeySequence key;
    std::function<bool()> done;
    From from = From::Page;
  } rows[] = {
      {QKeySequence(Qt::ALT | Qt::Key_Left), at("/a")},
      {QKeySequence(Qt::ALT | Qt::Key_Right), at("/b"), From::Box},
      {QKeySequence(Qt::ALT | Qt::Key_Left), at("/a"), From::Toolbar},
      {QKeySequence(Qt::ALT | Qt::Key_Right), at("/b")},
      {QKeySequence(Qt::Key_F5), refreshed},
      {QKeySequence(Qt::CTRL | Qt::Key_R), refreshed},
      {QKeySequence(Qt::CTRL | Qt::Key_R), refreshed, From::Box},
      {QKeySequence(Qt::Key_F5), refreshed, From::Toolbar},
      {QKeySequence(Qt::CTRL | Qt::Key_A), pageSelected},
      {QKeySequence(Qt::CTRL | Qt::Key_A), pageSelected, From::Box},
      {QKeySequence(Qt::CTRL | Qt::Key_A), pageSelected, From::Toolbar},
      {QKeySequence(Qt::CTRL | Qt::Key_L), selectedBox},
      {QKeySequence(Qt::ALT | Qt::Key_D), selectedBox},
      {QKeySequence(Qt::Key_F6), selectedBox},
      {QKeySequence(Qt::CTRL | Qt::Key_L), selectedBox, From::Toolbar},
      {QKeySequence(Qt::CTRL | Qt::Key_F), finding},
      {QKeySequence(Qt::CTRL | Qt::Key_F), finding, From::Toolbar},
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), [&] { return level() == 3; }},
      {QKeySequence(Qt::CTRL | Qt::Key_Minus), [&] { return level() == 2; }},
      {QKeySequence(Qt::CTRL | Qt::Key_Minus), [&] { return level() == 1; }, From::Box},
      {QKeySequence(Qt::CTRL | Qt::Key_0), [&] { return level() == 2; }, From::Toolbar},
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), [&] { return level() == 3; }, From::Box},
      {QKeySequence(Qt::CTRL | Qt::Key_U), source},
      {QKeySequence(Qt::ALT | Qt::Key_Home), home},
      {QKeySequence(Qt::CTRL | Qt::Key_U), source, From::Box},
      {QKeySequence(Qt::ALT | Qt::Key_Home), home, From::Box},
      {QKeySequence(Qt::CTRL | Qt::Key_U), source, From::Toolbar},
      {QKeySequence(Qt::ALT | Qt::Key_Home), home, From::Toolbar},
  };
  for (const auto& row : rows) {
    fetched = server->requestCount("/b");
    finished = documents.count();
    bar->hide();
    runJs(main, "getSelection().removeAllRanges(); 1");
    focus(row.from);
    QTest::keySequence(main->windowHandle(), row.key);
    EXPECT_TRUE(waitUntil(row.done, 8000)) << row.key.toString().toStdString() << where(row.from);
  }
  // An editable page would take Ctrl+U for underlining; the window's View Source has it.
  server->setPage("/editable", "Editable", "<div id=e contenteditable>abc</div>");
  ASSERT_TRUE(loadAndWait(main, server->url("/editable")));
  page()->setFocus();
  runJs(main, "e.focus(); 1");
  ASSERT_EVENTUALLY_EQ(runJs(main, "document.activeElement.id"), "e");
  QTest::keySequence(main->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_U));
  EXPECT_TRUE(waitUntil(source, 8000)) << "from an editable page";
  main->action("View/Text Size/Medium")->trigger();
  // Escape stops a load that would never end.
  for (const From from : {From::Page, From::Box, From::Toolbar}) {
    QSignalSpy done(main->engine(), &browser::BrowserEngine::loadFinished);
    const int asked = server->requestCount("/stall");
    main->engine()->load(server->url("/stall"));
    ASSERT_EVENTUALLY_EQ(server->requestCount("/stall"), asked + 1);
    focus(from);
    QTest::keySequence(main->windowHandle(), QKeySequence(Qt::Key_Escape));
    EXPECT_EVENTUALLY_EQ(done.count(), 1) << where(from);
  }
  // Each key opens its own dialog.
  const struct {
    QKeyCombination key;
    const char* title;
    From from;
  } dialogs[] = {
      {Qt::CTRL | Qt::Key_S, "Save Web Page", From::Page},
      {Qt::CTRL | Qt::Key_D, "Add Favorite", From::Page},
      {Qt::CTRL | Qt::Key_O, "Open", From::Page},
      {Qt::CTRL | Qt::Key_P, "Print", From::Page},
      {Qt::CTRL | Qt::Key_D, "Add Favorite", From::Box},
      {Qt::CTRL | Qt::Key_S, "Save Web Page", From::Box},
      {Qt::CTRL | Qt::Key_O, "Open", From::Toolbar},
  };
  for (const auto& row : dialogs) {
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
      shown = modal->windowTitle();
      ModalWatcher::dismiss(modal);
    });
    activate(main);  // a closed dialog may leave no window active
    focus(row.from);
    QTest::keySequence(main->windowHandle(), QKeySequence(row.key));
    EXPECT_EVENTUALLY_EQ(shown, QString::fromLatin1(row.title)) << where(row.from);
  }
  // Ctrl+Shift+N is a plain key, Ctrl+N opens one window; Ctrl+W closes this window only.
  const auto count = app::BrowserWindow::windows().size();
  for (const From from : {From::Page, From::Box, From::Toolbar}) {
    activate(main);
    focus(from);
    QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EVENTUALLY_EQ(app::BrowserWindow::windows().size(), count + 1) << where(from);
    app::BrowserWindow* opened = app::BrowserWindow::windows().last();
    activate(opened);
    QTest::keySequence(opened->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_W));
    EXPECT_EVENTUALLY_EQ(app::BrowserWindow::windows().size(), count);
  }
}

// One press is one page, from the keys, the mouse's back and forward buttons (XTest
// buttons 8 and 9, over the page and over the toolbar) alike. Two pages deep, so that a
// step taken twice would land somewhere else.
TEST_F(BrowserWindow, EachBackOrForwardStepsOnePage) {
  auto* w = new app::BrowserWindow();
  w->show();
  for (const char* path : {"/a?first", "/a", "/b"}) {
    ASSERT_TRUE(goTo(w, server->url(QLatin1String(path))));
  }
  activate(w);
  QWidget* view = w->findChild<QWebEngineView*>();
  const QPoint overPage = view->mapToGlobal(view->rect().center());
  auto* toolbar = w->findChild<QToolBar*>();
  const QPoint overToolbar = toolbar->mapToGlobal(QPoint(toolbar->width() - 4, 4));
  QWebEngineHistory* history = pageOf(w)->history();
  const auto key = [&](QKeyCombination combination) {
    return [&, combination] { QTest::keySequence(w->windowHandle(), QKeySequence(combination)); };
  };
  const auto button = [](QPoint at, int number) {
    return [at, number] {
      testsupport::x::moveMouse(at);
      testsupport::x::click(number);
    };
  };
  const struct {
    std::function<void()> step;
    const char* shown;
    const char* what;
  } rows[] = {
      {key(Qt::ALT | Qt::Key_Left), "/a", "Alt+Left"},
      {key(Qt::ALT | Qt::Key_Right), "/b", "Alt+Right"},
      {button(overPage, 8), "/a", "back button over the page"},
      {button(overPage, 9), "/b", "forward button over the page"},
      {button(overToolbar, 8), "/a", "back button over the toolbar"},
      {button(overToolbar, 9), "/b", "forward button over the toolbar"},
  };
  for (const auto& row : rows) {
    row.step();
    EXPECT_EVENTUALLY_EQ(location(w), server->url(QLatin1String(row.shown))) << row.what;
    runJs(w, "1");  // a second step, had one been taken, has reached the page by now
    EXPECT_EQ(history->currentItemIndex(), row.shown == QLatin1String("/a") ? 1 : 2) << row.what;
  }
}

// Clicks a control as a hand does: XTest motion to its centre, then the left button.
void clickWithMouse(const QWidget* control) {
  testsupport::x::moveMouse(control->mapToGlobal(control->rect().center()));
  testsupport::x::click();
}

TEST_F(BrowserWindow, ToolbarButtonsGoAndATypedHostNameTakeThePageWhereTheySay) {
  auto* w = new app::BrowserWindow();
  w->show();
  for (const char* path : {"/a", "/b"}) {
    ASSERT_TRUE(goTo(w, server->url(QLatin1String(path))));
  }
  activate(w);
  QSignalSpy done(w->engine(), &browser::BrowserEngine::loadFinished);
  int fetched = 0;
  const auto at = [&] { return location(w); };
  const auto type = [&](const QString& text) {
    return [&, text] {
      box(w)->setFocus();
      edit(w)->clear();
      QTest::keyClicks(box(w), text);
    };
  };
  const struct {
    const char* control;  // clicked; none: Enter in the address box
    std::function<void()> before;
    std::function<QString()> seen;
    QString want;
  } rows[] = {
      {"Back", {}, at, server->url("/a")},
      {"Forward", {}, at, server->url("/b")},
      {"Refresh", [&] { fetched = server->requestCount("/b"); },
       [&] { return QString::number(server->requestCount("/b") - fetched); }, "1"},
      {"Home", {}, at, browser::currentStartPageAddress()},
      {"Stop",
       [&] {
         const int asked = server->requestCount("/stall");
         w->engine()->load(server->url("/stall"));
         waitUntil([&] { return server->requestCount("/stall") > asked; });
         done.clear();
       },
       [&] { return QString::number(done.count()); }, "1"},
      {"cmdGo", [&] { edit(w)->setText(server->url("/a?go")); }, at, server->url("/a?go")},
      {nullptr, type(QStringLiteral("localhost:%1/b?typed").arg(server->port())), at,
       QStringLiteral("http://localhost:%1/b?typed").arg(server->port())},
  };
  for (const auto& row : rows) {
    if (row.before) {
      row.before();
    }
    if (row.control != nullptr) {
      clickWithMouse(w->findChild<QWidget*>(QLatin1String(row.control)));
    } else {
      QTest::keyClick(box(w), Qt::Key_Return);
    }
    EXPECT_EVENTUALLY_EQ(row.seen(), row.want) << (row.control ? row.control : "typed");
  }
}

TEST_F(BrowserWindow, MenuEntriesReachWhatTheyOpen) {
  server->setPage("/input", "Input", "<input id=i>");
  ASSERT_TRUE(loadAndWait(main, server->url("/input")));
  const std::pair<const char*, const char*> dialogs[] = {
      {"File/Print", "Print"},
      {"File/Page Setup", "Page Setup"},
      {"File/Print Preview", "Print Preview"},
      {"File/File Properties", "Properties"},
  };
  for (const auto& [path, title] : dialogs) {
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
      shown = modal->windowTitle();
      ModalWatcher::dismiss(modal);
    });
    main->action(QLatin1String(path))->trigger();
    EXPECT_EVENTUALLY_EQ(shown, QString::fromLatin1(title)) << path;
  }
  QGuiApplication::clipboard()->setText("pasted");
  runJs(main, "i.focus(); 1");
  main->action("Edit/Paste")->trigger();
  EXPECT_EVENTUALLY_EQ(runJs(main, "i.value"), "pasted");
  main->action("Edit/Select All")->trigger();
  EXPECT_EVENTUALLY_EQ(runJs(main, "i.selectionEnd - i.selectionStart"), "6");
  main->action("Help/Help")->trigger();
  EXPECT_EVENTUALLY_EQ(location(main), browser::currentStartPageAddress());
  // Search leaves for the search site: offline, so that nothing leaves this machine.
  main->action("File/Work Offline")->trigger();
  main->action("View/Go to/Search")->trigger();
  EXPECT_EVENTUALLY_EQ(location(main), browser::WebEngineBrowser::searchPageAddress());
  main->action("File/Work Offline")->trigger();
  // The desktop's settings tool (a stand-in: the first one the program looks for).
  main->action("Tools/Internet Options")->trigger();
  EXPECT_EVENTUALLY_EQ(testsupport::XSession::current()->desktopProgramsStarted(),
                       "gnome-control-center network\n");
}

TEST_F(BrowserWindow, TypingCompletesButAPickFromTheListIsKept) {
  auto* w = new app::BrowserWindow();
  w->show();
  for (const char* path : {"/a", "/a?news", "/b"}) {
    ASSERT_TRUE(goTo(w, server->url(QLatin1String(path))));
  }
  ASSERT_EQ(box(w)->history().count(), 3);
  activate(w);
  box(w)->setFocus();
  edit(w)->clear();
  QTest::keyClicks(box(w), QStringLiteral("127.0.0.1:%1/a").arg(server->port()));
  EXPECT_EQ(edit(w)->text(), server->url("/a?news"));  // the newer one
  EXPECT_EQ(edit(w)->selectedText(), "?news");
  QTest::keyClick(box(w), Qt::Key_Backspace);
  EXPECT_EQ(edit(w)->text(), server->url("/a"));  // Backspace completes nothing
  // Picked with the mouse from the list, or stepped to with Down: the entry stays itself.
  box(w)->showPopup();
  QAbstractItemView* list = box(w)->view();
  ASSERT_EVENTUALLY_EQ(list->isVisible(), true);
  const QModelIndex plain = box(w)->model()->index(2, 0);
  ASSERT_EQ(plain.data().toString(), server->url("/a"));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(plain).center());
  EXPECT_EQ(edit(w)->text(), server->url("/a"));
  QTest::keyClick(box(w), Qt::Key_Up);
  EXPECT_EQ(edit(w)->text(), server->url("/a?news"));
  QTest::keyClick(box(w), Qt::Key_Down);
  EXPECT_EQ(edit(w)->text(), server->url("/a"));
  QSignalSpy done(w->engine(), &browser::BrowserEngine::loadFinished);
  QTest::keyClick(box(w), Qt::Key_Return);
  ASSERT_EVENTUALLY_EQ(done.count() > 0, true);
  EXPECT_EQ(location(w), server->url("/a"));
  EXPECT_EQ(box(w)->history().entries().first(), server->url("/a"));
  EXPECT_EQ(box(w)->history().entries().count(server->url("/a")), 1);
  EXPECT_EQ(box(w)->count(), box(w)->history().count());
  // Edit > Cut in the box takes the selection and completes nothing.
  QClipboard* clipboard = QGuiApplication::clipboard();
  edit(w)->setText(server->url("/a?") + "XY");
  edit(w)->setSelection(static_cast<int>(edit(w)->text().size()) - 2, 2);
  w->action("Edit/Cut")->trigger();
  EXPECT_EQ(clipboard->text(), "XY");
  EXPECT_EQ(edit(w)->text(), server->url("/a?"));
  // Undo from the box does nothing; Copy copies the page's selection, not the box's.
  w->action("Edit/Undo")->trigger();
  EXPECT_EQ(edit(w)->text(), server->url("/a?"));
  runJs(w, "getSelection().selectAllChildren(document.getElementById('t'));1");
  box(w)->setFocus();
  w->action("Edit/Copy")->trigger();
  EXPECT_EVENTUALLY_EQ(clipboard->text().left(5), "alpha");
}

TEST_F(BrowserWindow, FindOnThePageCountsStepsBothWaysAndEscapeClosesIt) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));  // alpha needle needle needle
  activate(main);
  box(main)->setFocus();  // Ctrl+F from the address box reaches the page's find bar too
  QTest::keySequence(main->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_F));
  auto* bar = main->findChild<browser::FindBar*>("FindBar");
  QLineEdit* field = bar->findChild<QLineEdit*>();
  ASSERT_TRUE(waitUntil([&] { return bar->isVisible() && field->hasFocus(); }));
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] { QTest::keyClicks(field, "needle"); }, "1 of 3"},
      {[&] { QTest::keyClick(field, Qt::Key_Return); }, "2 of 3"},
      {[&] { QTest::keyClick(field, Qt::Key_Return); }, "3 of 3"},
      {[&] { QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier); }, "2 of 3"},
      {[&] { QTest::keyClicks(field, "zz"); }, "No matches"}};
  for (const auto& [step, shown] : steps) {
    step();
    EXPECT_EVENTUALLY_EQ(bar->matchText(), shown);
  }
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_FALSE(bar->isVisible());
}

TEST_F(BrowserWindow, PadlockOnlyForAPageThatCameSecurely) {
  QLabel* padlock = label(main, "StatusPanel2");
  emit main->engine()->securityChanged(browser::Security::Secure);
  ASSERT_FALSE(padlock->isHidden());
  // Work Offline makes a page that loads online an error page: no padlock, also not the
  // previous one.
  QAction* offline = main->action("File/Work Offline");
  offline->trigger();
  EXPECT_TRUE(main->engine()->isOffline());
  const int asked = server->requestCount("/a");
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  EXPECT_NE(runJs(main, "document.title"), "Page A");
  EXPECT_EQ(server->requestCount("/a"), asked);
  EXPECT_TRUE(padlock->isHidden());
  offline->trigger();
  EXPECT_FALSE(main->engine()->isOffline());
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  EXPECT_EQ(runJs(main, "document.title"), "Page A");
  // An https address nobody answers at ends on an error page: no padlock.
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 port = closed.serverPort();
  closed.close();
  emit main->engine()->securityChanged(browser::Security::Secure);
  ASSERT_TRUE(loadAndWait(main, QStringLiteral("https://127.0.0.1:%1/a").arg(port)));
  EXPECT_TRUE(padlock->isHidden());
}

TEST_F(BrowserWindow, TextSizeMarksFollowTheEngineNotTheClick) {
  QMenu* view = main->menuBar()->actions().at(2)->menu();
  QAction* smallest = main->action("View/Text Size/Smallest");
  QAction* medium = main->action("View/Text Size/Medium");
  for (int round = 0; round < 2; ++round) {
    smallest->trigger();
    emit view->aboutToShow();
    EXPECT_TRUE(smallest->isChecked()) << round;
    EXPECT_FALSE(medium->isChecked()) << round;
  }
  medium->trigger();
  EXPECT_TRUE(smallest->isChecked());  // until the menu opens again
  emit view->aboutToShow();
  EXPECT_TRUE(medium->isChecked());
  EXPECT_FALSE(smallest->isChecked());
}

TEST_F(BrowserWindow, NewWindowsTakeTheMainWindowsLevel) {
  slider(main)->setValue(200);
  main->engine()->setSilent(true);
  ASSERT_TRUE(loadAndWait(main, server->url("/popup")));
  // File > New: the same page, the same silence, the main window's level.
  main->action("File/New")->trigger();
  app::BrowserWindow* copy = app::BrowserWindow::windows().last();
  ASSERT_NE(copy, main);
  EXPECT_TRUE(copy->engine()->isSilent());
  EXPECT_EQ(slider(copy)->value(), 200);
  ASSERT_EVENTUALLY_EQ(pageOf(copy)->title(), "Opener");
  // A pop-up from the copy: shown, silent like its opener, the main window's level.
  slider(copy)->setValue(100);
  pageOf(copy)->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
  runJs(copy, "go(); 1");
  ASSERT_EVENTUALLY_EQ(app::BrowserWindow::windows().size(), 3);
  app::BrowserWindow* popup = app::BrowserWindow::windows().last();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_TRUE(popup->engine()->isSilent());
  EXPECT_EQ(slider(popup)->value(), 200);
  EXPECT_NEAR(popup->windowOpacity(), 200 / 255.0, 0.01);
  EXPECT_EVENTUALLY_EQ(location(popup), server->url("/b"));
  EXPECT_EVENTUALLY_EQ(box(popup)->currentText(), "http://www.");
  // Out of the task list and the pager, as the first window is.
  for (const app::BrowserWindow* w : {copy, popup}) {
    EXPECT_EVENTUALLY_EQ(wmState(w), "_NET_WM_STATE_SKIP_PAGER _NET_WM_STATE_SKIP_TASKBAR");
  }
  slider(main)->setValue(255);
  main->engine()->setSilent(false);
}

TEST_F(BrowserWindow, DialogCommandsOpenModallyOverTheRightWindow) {
  auto* second = new app::BrowserWindow();
  second->show();
  const struct {
    const char* path;
    const char* title;
    app::BrowserWindow* owner;
  } rows[] = {{"Toolbar/Proxy", "Proxy Settings", nullptr}, {"Help/About", "About", main}};
  for (const auto& row : rows) {
    QString title;
    QWidget* owner = nullptr;
    ModalWatcher watcher([&](QWidget* modal) {
      title = modal->windowTitle();
      owner = modal->parentWidget();
      modal->close();
    });
    second->action(QLatin1String(row.path))->trigger();
    waitUntil([&] { return !title.isEmpty(); }, 5000);
    EXPECT_TRUE(title.contains(QLatin1String(row.title))) << row.path;
    if (row.owner != nullptr) {
      EXPECT_EQ(owner, row.owner) << row.path;
    }
  }
}

// Types a path into a file dialog's name box and presses Enter, as a user does.
void chooseFile(QWidget* modal, const QString& path) {
  auto* nameBox = modal->findChild<QLineEdit*>("fileNameEdit");
  if (nameBox == nullptr) {
    ModalWatcher::dismiss(modal);
    return;
  }
  modal->activateWindow();
  nameBox->setFocus(Qt::OtherFocusReason);
  waitUntil([&] { return nameBox->hasFocus(); }, 3000);
  nameBox->selectAll();
  QTest::keyClicks(nameBox, path);
  QTest::keyClick(nameBox, Qt::Key_Return);
}

TEST_F(BrowserWindow, OpenAndDownloadsAskForAFileAndCancelChangesNothing) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/local page.htm";
  QFile page(path);
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<title>Local file</title>local");
  page.close();
  {
    ModalWatcher watcher([&](QWidget* modal) { chooseFile(modal, path); });
    main->action("File/Open")->trigger();
    ASSERT_EVENTUALLY_EQ(QUrl(location(main)).toLocalFile(), path);
  }
  {
    ModalWatcher cancel;
    main->action("File/Open")->trigger();
    EXPECT_EVENTUALLY_EQ(cancel.seen(), 1);
    EXPECT_EQ(QUrl(location(main)).toLocalFile(), path);
  }
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "download body";
  file.headers.append(qMakePair(QByteArray("Content-Disposition"),
                                QByteArray("attachment; filename=\"report.bin\"")));
  server->setPage("/report", file);
  const QString target = dir.path() + "/saved report.bin";
  {
    ModalWatcher watcher([&](QWidget* modal) { chooseFile(modal, target); });
    main->engine()->load(server->url("/report"));
    ASSERT_EVENTUALLY_EQ(QFileInfo(target).size(), 13);
  }
  // Cancelled: nothing is written anywhere, not even to the downloads folder.
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  const auto before = QDir(downloads).entryList(QDir::Files).size();
  QPointer<QWebEngineDownloadRequest> download;
  QObject::connect(pageOf(main)->profile(), &QWebEngineProfile::downloadRequested, main,
                   [&](QWebEngineDownloadRequest* d) { download = d; });
  ModalWatcher cancel;
  main->engine()->load(server->url("/report"));
  ASSERT_EVENTUALLY_EQ(!download.isNull() && download->isFinished(), true);
  EXPECT_EQ(download->state(), QWebEngineDownloadRequest::DownloadCancelled);
  EXPECT_EQ(cancel.seen(), 1);
  EXPECT_EQ(QDir(downloads).entryList(QDir::Files).size(), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
  // Qt's file dialog kept no history of the folders visited.
  EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/.config/QtProject.conf"));
}

TEST_F(BrowserWindow, AnUntrustedCertificateLoadsOnlyAfterTheUserSaysSo) {
  QLabel* padlock = label(main, "StatusPanel2");
  // Silent: nobody is asked and the page does not load.
  main->engine()->setSilent(true);
  ASSERT_TRUE(loadAndWait(main, tls->url("/secret")));
  EXPECT_EQ(certificateWarning(main), nullptr);
  EXPECT_EQ(tls->requestCount("/secret"), 0);
  main->engine()->setSilent(false);
  // A warning says what is wrong; Go Back (the default) keeps the site closed.
  QSignalSpy done(main->engine(), &browser::BrowserEngine::loadFinished);
  main->engine()->load(tls->url("/secret"));
  ASSERT_EVENTUALLY_EQ(certificateWarning(main) != nullptr, true);
  QMessageBox* box = certificateWarning(main);
  EXPECT_TRUE(box->text().contains("127.0.0.1")) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains("not trusted")) << box->text().toStdString();
  EXPECT_EQ(box->defaultButton()->objectName(), "GoBack");
  box->defaultButton()->click();
  ASSERT_EVENTUALLY_EQ(done.count() > 0, true);
  EXPECT_EQ(tls->requestCount("/secret"), 0);
  // Asked again, the user continues: the page loads, never with the padlock, and the
  // exception holds in every window for this run.
  done.clear();
  main->engine()->load(tls->url("/secret"));
  ASSERT_EVENTUALLY_EQ(certificateWarning(main) != nullptr, true);
  certificateWarning(main)->findChild<QPushButton*>("Continue")->click();
  ASSERT_EVENTUALLY_EQ(done.count() > 0, true);
  EXPECT_EQ(runJs(main, "document.title"), "Secret");
  EXPECT_TRUE(padlock->isHidden());
  main->openWindow(tls->url("/secret"));
  app::BrowserWindow* second = app::BrowserWindow::windows().last();
  ASSERT_EVENTUALLY_EQ(runJs(second, "document.title"), "Secret");
  EXPECT_EQ(certificateWarning(second), nullptr);
  EXPECT_TRUE(label(second, "StatusPanel2")->isHidden());
}

// The most certificate warnings that showed at one time.
class WarningCounter : public QObject {
 public:
  WarningCounter() { qApp->installEventFilter(this); }
  int most = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched->objectName() == "CertificateWarning") {
      if (event->type() == QEvent::Show) {
        most = std::max(most, ++m_showing);
      } else if (event->type() == QEvent::Hide) {
        --m_showing;
      }
    }
    return false;
  }

 private:
  int m_showing = 0;
};

TEST_F(BrowserWindow, FailingFramesAskOneAtATimeAndAClosedWindowLeavesTheSiteClosed) {
  testsupport::HttpServer other(testsupport::HttpServer::Transport::UntrustedTls);
  other.setPage("/f", "F", "<p>f</p>");
  QString frames;
  for (int i = 0; i < 6; ++i) {
    frames += QStringLiteral("<iframe src='https://localhost:%1/f?%2'></iframe>")
                  .arg(other.port())
                  .arg(i);
  }
  server->setPage("/frames", "Frames", frames);
  // Six failing frames, one question at a time; each refused (Escape), the page ends with
  // every frame closed.
  const WarningCounter warnings;
  QSignalSpy loaded(pageOf(main), &QWebEnginePage::loadFinished);
  main->engine()->load(server->url("/frames"));
  ASSERT_EVENTUALLY_EQ(certificateWarning(main) != nullptr, true);
  EXPECT_TRUE(waitUntil(
      [&] {
        if (QMessageBox* box = certificateWarning(main)) {
          box->reject();
        }
        return !loaded.isEmpty();
      },
      30000));
  EXPECT_EQ(warnings.most, 1);
  EXPECT_EQ(other.requestCount("/f"), 0);
  // Closing the window while it asks refuses; the next window asks again.
  main->openWindow(server->url("/frames"));
  app::BrowserWindow* w = app::BrowserWindow::windows().last();
  ASSERT_EVENTUALLY_EQ(certificateWarning(w) != nullptr, true);
  w->close();
  QSignalSpy done(main->engine(), &browser::BrowserEngine::loadFinished);
  main->engine()->load(QStringLiteral("https://localhost:%1/f").arg(other.port()));
  ASSERT_EVENTUALLY_EQ(certificateWarning(main) != nullptr, true);
  certificateWarning(main)->reject();
  ASSERT_EVENTUALLY_EQ(done.count(), 1);
  EXPECT_EQ(other.requestCount("/f"), 0);
}

TEST_F(BrowserWindow, AKilledPageProcessOrABrokenResponseLeaveTheWindowUsable) {
  ASSERT_TRUE(goTo(main, server->url("/a")));
  ASSERT_EVENTUALLY_EQ(pageOf(main)->renderProcessPid() > 0, true);
  QSignalSpy ended(pageOf(main), &QWebEnginePage::renderProcessTerminated);
  ASSERT_EQ(::kill(static_cast<pid_t>(pageOf(main)->renderProcessPid()), SIGKILL), 0);
  ASSERT_EVENTUALLY_EQ(ended.count(), 1);
  EXPECT_EQ(label(main, "StatusPanel1")->text(),
            QString::fromLatin1(browser::WebEngineBrowser::kPageProcessEnded));
  EXPECT_EQ(box(main)->currentText(), server->url("/a"));
  EXPECT_EQ(main->windowTitle(), "Page A - Hushleaf Browser");
  QSignalSpy done(main->engine(), &browser::BrowserEngine::loadFinished);
  main->action("Toolbar/Refresh")->trigger();
  ASSERT_EVENTUALLY_EQ(done.count() > 0, true);
  EXPECT_EQ(runJs(main, "document.title"), "Page A");
  // A server that breaks off mid-body: the load ends by itself, and the next one works.
  ASSERT_TRUE(loadAndWait(main, server->url("/broken"), 20000));
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  EXPECT_EQ(runJs(main, "document.title"), "Page A");
}

TEST_F(BrowserWindow, TheProgramEndsWithItsLastWindowOrWithClose) {
  QSignalSpy last(&app::WindowEvents::instance(), &app::WindowEvents::lastWindowUnloaded);
  QSignalSpy end(&app::WindowEvents::instance(), &app::WindowEvents::endProgram);
  auto* hidden = new app::BrowserWindow();
  hidden->show();
  // A window AutoHide keeps hidden still keeps the program alive.
  hidden->hide();
  main->close();
  ASSERT_EVENTUALLY_EQ(app::BrowserWindow::windows().size(), 1);
  EXPECT_EQ(last.count(), 0);
  hidden->action("File/Close")->trigger();
  EXPECT_EQ(end.count(), 1);
  hidden->close();
  EXPECT_EVENTUALLY_EQ(last.count(), 1);
}

}  // namespace
