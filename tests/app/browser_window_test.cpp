// The browser window as a user meets it: real windows on a private X server, real
// pages from a local HTTP server, real key events.
#include "app/db_main.h"
#include "app/frm_browser.h"
#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/find_bar.h"
#include "browser/webengine_browser.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"

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
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <csignal>

using testsupport::ModalWatcher;
using testsupport::waitUntil;

namespace {

browser::AddressBox* box(const frmBrowser* w) {
  return w->findChild<browser::AddressBox*>("txtURL");
}
QLineEdit* edit(const frmBrowser* w) { return box(w)->lineEdit(); }
QSlider* slider(const frmBrowser* w) { return w->findChild<QSlider*>("Slider1"); }
QLabel* label(const frmBrowser* w, const char* name) {
  return w->findChild<QLabel*>(QLatin1String(name));
}

QWebEnginePage* pageOf(const frmBrowser* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}

// The result of a script in the window's page, as text; empty when none comes in time.
QString runJs(const frmBrowser* w, const QString& script) {
  return testsupport::runJs(pageOf(w), script).toString();
}

// Navigates the engine and waits for the document (error pages are documents too).
bool loadAndWait(frmBrowser* w, const QString& url, int timeoutMs = 15000) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
  w->engine()->Navigate(url);
  return testsupport::waitUntil([&] { return done.count() > 0; }, timeoutMs);
}

// As a user does it: the address typed into the box, then Enter.
bool goTo(frmBrowser* w, const QString& url) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
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
    app::Main();
    // The suite keeps running when windows close; the program's end is tested last.
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
    main = frmBrowser::mainWindow();
  }

  static void TearDownTestSuite() {
    delete server;
    delete tls;
  }

  void TearDown() override {
    // Only the main window stays from one test to the next.
    for (frmBrowser* w : frmBrowser::windows()) {
      if (w != main) {
        delete w;
      }
    }
    if (frmBrowser::mainWindow() != nullptr) {  // the last test closes it
      main->engine()->setSilent(false);
    }
  }

  static void activate(frmBrowser* w) {
    w->activateWindow();
    w->raise();
    waitUntil([&] { return QApplication::activeWindow() == w; }, 3000);
  }

  static QString location(const frmBrowser* w) { return w->engine()->LocationURL(); }

  static QMessageBox* certificateWarning(const frmBrowser* w) {
    return w->findChild<QMessageBox*>("CertificateWarning");
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline testsupport::HttpServer* tls = nullptr;
  static inline frmBrowser* main = nullptr;
};

TEST_F(BrowserWindow, StartsOnTheStartPageAndTheStatusBarReadsAsItsText) {
  ASSERT_TRUE(waitUntil([] { return box(main)->currentText() == "http://www."; }));
  // The caret stands after the offered "www.": typing goes on from there.
  QTest::keyClicks(box(main), QStringLiteral("example.test"));
  EXPECT_EQ(box(main)->currentText(), "http://www.example.test");
  edit(main)->setText(QStringLiteral("http://www."));
  EXPECT_EQ(main->windowTitle(), "Hushleaf Browser");
  EXPECT_EQ(slider(main)->value(), 255);
  EXPECT_FALSE(main->action("Toolbar/ZodorAzev")->isChecked());
  EXPECT_TRUE(location(main).startsWith("res:"));
  EXPECT_TRUE(
      runJs(main, "document.body.innerText").contains("LOWER RIGHT portion of the screen."));
  emit main->engine()->StatusTextChange("  word  ");
  EXPECT_EQ(
      QAccessible::queryAccessibleInterface(label(main, "StatusPanel1"))->text(QAccessible::Name),
      "word");
}

TEST_F(BrowserWindow, KeysEveryBrowserHas) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  ASSERT_TRUE(loadAndWait(main, server->url("/b")));
  activate(main);
  const auto page = [] { return main->findChild<QWebEngineView*>()->focusProxy(); };
  const auto level = [] {
    QVariant out;
    main->engine()->ExecWB(browser::olecmdid::Zoom, browser::olecmdexecopt::DontPromptUser, nullptr,
                           &out);
    return out.toInt();
  };
  const auto selectedBox = [] {
    return box(main)->hasFocus() && edit(main)->selectedText() == edit(main)->text();
  };
  int fetched = 0;  // requests for the page before the key
  QSignalSpy documents(main->engine(), &browser::BrowserEngine::DocumentComplete);
  qsizetype finished = 0;  // documents before the key
  // Fetched again, and finished, so the next key meets a page at rest.
  const auto refreshed = [&] {
    return server->requestCount("/b") > fetched && documents.count() > finished;
  };
  const struct {
    QKeySequence key;
    std::function<bool()> done;
  } rows[] = {
      {QKeySequence(Qt::ALT | Qt::Key_Left), [] { return location(main) == server->url("/a"); }},
      {QKeySequence(Qt::ALT | Qt::Key_Right), [] { return location(main) == server->url("/b"); }},
      {QKeySequence(Qt::Key_F5), refreshed},
      {QKeySequence(Qt::CTRL | Qt::Key_R), refreshed},
      {QKeySequence(Qt::CTRL | Qt::Key_L), selectedBox},
      {QKeySequence(Qt::ALT | Qt::Key_D), selectedBox},
      {QKeySequence(Qt::Key_F6), selectedBox},
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), [&] { return level() == 3; }},
      {QKeySequence(Qt::CTRL | Qt::Key_Minus), [&] { return level() == 2; }},
      {QKeySequence(Qt::CTRL | Qt::Key_Minus), [&] { return level() == 1; }},
      {QKeySequence(Qt::CTRL | Qt::Key_0), [&] { return level() == 2; }},
      {QKeySequence(Qt::CTRL | Qt::Key_U),
       [] { return location(main).startsWith("view-source:"); }},
      {QKeySequence(Qt::ALT | Qt::Key_Home), [] { return location(main).startsWith("res:"); }},
  };
  for (const auto& row : rows) {
    fetched = server->requestCount("/b");
    finished = documents.count();
    page()->setFocus();
    QTest::keySequence(main->windowHandle(), row.key);
    EXPECT_TRUE(waitUntil(row.done, 8000)) << row.key.toString().toStdString();
  }
  // Escape stops a load that would never end, from the page or the address box.
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(server->url("/stall"));
  ASSERT_TRUE(waitUntil([] { return server->requestCount("/stall") > 0; }));
  box(main)->setFocus();
  QTest::keySequence(main->windowHandle(), QKeySequence(Qt::Key_Escape));
  EXPECT_TRUE(waitUntil([&] { return done.count() > 0; }));
  // The mouse's back button over the page.
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  QTest::mouseClick(page(), Qt::BackButton, {}, QPoint(20, 20));
  EXPECT_TRUE(waitUntil([] { return location(main) != server->url("/a"); }));
  // Ctrl+S asks where to save; Ctrl+W closes this window only; Ctrl+Shift+N is a plain key.
  ModalWatcher watcher;
  QTest::keySequence(main->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_TRUE(waitUntil([&] { return watcher.seen() == 1; }));
  QTest::keySequence(main->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_D));
  EXPECT_TRUE(waitUntil([&] { return watcher.seen() == 2; }));  // Add Favorite
  const auto count = frmBrowser::windows().size();
  QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::qWait(100);
  EXPECT_EQ(frmBrowser::windows().size(), count);
  QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == count + 1; }));
  frmBrowser* opened = frmBrowser::windows().last();
  activate(opened);
  QTest::keySequence(opened->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_W));
  EXPECT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == count; }));
}

TEST_F(BrowserWindow, TypingCompletesButAPickFromTheListIsKept) {
  auto* w = new frmBrowser();
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
  ASSERT_TRUE(waitUntil([&] { return list->isVisible(); }));
  const QModelIndex plain = box(w)->model()->index(2, 0);
  ASSERT_EQ(plain.data().toString(), server->url("/a"));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(plain).center());
  EXPECT_EQ(edit(w)->text(), server->url("/a"));
  QTest::keyClick(box(w), Qt::Key_Up);
  EXPECT_EQ(edit(w)->text(), server->url("/a?news"));
  QTest::keyClick(box(w), Qt::Key_Down);
  EXPECT_EQ(edit(w)->text(), server->url("/a"));
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
  QTest::keyClick(box(w), Qt::Key_Return);
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
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
  EXPECT_TRUE(waitUntil([&] { return clipboard->text().startsWith("alpha"); }));
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
    EXPECT_TRUE(waitUntil([&, shown = shown] { return bar->matchText() == shown; }))
        << shown << ", not " << bar->matchText().toStdString();
  }
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_FALSE(bar->isVisible());
}

TEST_F(BrowserWindow, PadlockOnlyForAPageThatCameSecurely) {
  QLabel* padlock = label(main, "StatusPanel2");
  emit main->engine()->SetSecureLockIcon(browser::securelock::SecureUnknownBits);
  ASSERT_FALSE(padlock->isHidden());
  // Offline, an https address shows an error page: no padlock, also not the previous one.
  QAction* offline = main->action("File/Work Offline");
  offline->trigger();
  EXPECT_TRUE(main->engine()->Offline());
  ASSERT_TRUE(loadAndWait(main, QStringLiteral("https://127.0.0.1:%1/a").arg(server->port())));
  EXPECT_TRUE(padlock->isHidden());
  offline->trigger();
  EXPECT_FALSE(main->engine()->Offline());
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
  frmBrowser* copy = frmBrowser::windows().last();
  ASSERT_NE(copy, main);
  EXPECT_TRUE(copy->engine()->Silent());
  EXPECT_EQ(slider(copy)->value(), 200);
  ASSERT_TRUE(waitUntil([&] { return pageOf(copy)->title() == "Opener"; }));
  // A pop-up from the copy: shown, silent like its opener, the main window's level.
  slider(copy)->setValue(100);
  pageOf(copy)->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
  runJs(copy, "go(); 1");
  ASSERT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == 3; }));
  frmBrowser* popup = frmBrowser::windows().last();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_TRUE(popup->engine()->RegisterAsBrowser());
  EXPECT_TRUE(popup->engine()->Silent());
  EXPECT_EQ(slider(popup)->value(), 200);
  EXPECT_NEAR(popup->windowOpacity(), 200 / 255.0, 0.01);
  EXPECT_TRUE(waitUntil([&] { return location(popup) == server->url("/b"); }));
  EXPECT_TRUE(waitUntil([&] { return box(popup)->currentText() == "http://www."; }));
  slider(main)->setValue(255);
  main->engine()->setSilent(false);
}

TEST_F(BrowserWindow, DialogCommandsOpenModallyOverTheRightWindow) {
  auto* second = new frmBrowser();
  second->show();
  const struct {
    const char* path;
    const char* title;
    frmBrowser* owner;
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
    ASSERT_TRUE(waitUntil([&] { return QUrl(location(main)).toLocalFile() == path; }));
  }
  {
    ModalWatcher cancel;
    main->action("File/Open")->trigger();
    EXPECT_EQ(cancel.seen(), 1);
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
    main->engine()->Navigate(server->url("/report"));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(target).size() == 13; }));
  }
  // Cancelled: nothing is written anywhere, not even to the downloads folder.
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  const auto before = QDir(downloads).entryList(QDir::Files).size();
  ModalWatcher cancel;
  main->engine()->Navigate(server->url("/report"));
  ASSERT_TRUE(waitUntil([&] { return cancel.seen() == 1; }));
  QTest::qWait(500);
  EXPECT_EQ(QDir(downloads).entryList(QDir::Files).size(), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
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
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(tls->url("/secret"));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  QMessageBox* box = certificateWarning(main);
  EXPECT_TRUE(box->text().contains("127.0.0.1")) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains("not trusted")) << box->text().toStdString();
  EXPECT_EQ(box->defaultButton()->objectName(), "GoBack");
  box->defaultButton()->click();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(tls->requestCount("/secret"), 0);
  // Asked again, the user continues: the page loads, never with the padlock, and the
  // exception holds in every window for this run.
  done.clear();
  main->engine()->Navigate(tls->url("/secret"));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  certificateWarning(main)->findChild<QPushButton*>("Continue")->click();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(runJs(main, "document.title"), "Secret");
  EXPECT_TRUE(padlock->isHidden());
  main->LoadNewWindow(tls->url("/secret"));
  frmBrowser* second = frmBrowser::windows().last();
  ASSERT_TRUE(waitUntil([&] { return runJs(second, "document.title") == "Secret"; }));
  EXPECT_EQ(certificateWarning(second), nullptr);
  EXPECT_TRUE(label(second, "StatusPanel2")->isHidden());
}

TEST_F(BrowserWindow, FailingFramesAskOnceAndAClosedWindowLeavesTheSiteClosed) {
  testsupport::HttpServer other(testsupport::HttpServer::Transport::UntrustedTls);
  other.setPage("/f", "F", "<p>f</p>");
  QString frames;
  for (int i = 0; i < 6; ++i) {
    frames += QStringLiteral("<iframe src='https://localhost:%1/f?%2'></iframe>")
                  .arg(other.port())
                  .arg(i);
  }
  server->setPage("/frames", "Frames", frames);
  main->LoadNewWindow(server->url("/frames"));
  frmBrowser* w = frmBrowser::windows().last();
  ASSERT_TRUE(waitUntil([&] { return certificateWarning(w) != nullptr; }));
  QTest::qWait(1500);
  EXPECT_EQ(w->findChildren<QMessageBox*>("CertificateWarning").size(), 1);
  // Closing the window while it asks refuses; the next window asks again.
  w->close();
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->engine()->Navigate(QStringLiteral("https://localhost:%1/f").arg(other.port()));
  ASSERT_TRUE(waitUntil([] { return certificateWarning(main) != nullptr; }));
  certificateWarning(main)->reject();  // Escape
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(other.requestCount("/f"), 0);
}

TEST_F(BrowserWindow, AKilledPageProcessOrABrokenResponseLeaveTheWindowUsable) {
  ASSERT_TRUE(goTo(main, server->url("/a")));
  ASSERT_TRUE(waitUntil([] { return pageOf(main)->renderProcessPid() > 0; }));
  QSignalSpy ended(pageOf(main), &QWebEnginePage::renderProcessTerminated);
  ASSERT_EQ(::kill(static_cast<pid_t>(pageOf(main)->renderProcessPid()), SIGKILL), 0);
  ASSERT_TRUE(waitUntil([&] { return ended.count() > 0; }));
  EXPECT_EQ(label(main, "StatusPanel1")->text(),
            QString::fromLatin1(browser::WebEngineBrowser::kPageProcessEnded));
  EXPECT_EQ(box(main)->currentText(), server->url("/a"));
  EXPECT_EQ(main->windowTitle(), "Page A - Hushleaf Browser");
  QSignalSpy done(main->engine(), &browser::BrowserEngine::DocumentComplete);
  main->action("Toolbar/Refresh")->trigger();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(runJs(main, "document.title"), "Page A");
  // A server that breaks off mid-body: the load ends by itself, and the next one works.
  ASSERT_TRUE(loadAndWait(main, server->url("/broken"), 20000));
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  EXPECT_EQ(runJs(main, "document.title"), "Page A");
}

// Last: it closes the main window.
TEST_F(BrowserWindow, TheProgramEndsWithItsLastWindowOrWithClose) {
  QSignalSpy last(&app::WindowEvents::instance(), &app::WindowEvents::lastWindowUnloaded);
  QSignalSpy end(&app::WindowEvents::instance(), &app::WindowEvents::endProgram);
  auto* hidden = new frmBrowser();
  hidden->show();
  // A window ZodorAzev keeps hidden still keeps the program alive.
  hidden->hide();
  main->close();
  ASSERT_TRUE(waitUntil([] { return frmBrowser::windows().size() == 1; }));
  EXPECT_EQ(last.count(), 0);
  hidden->action("File/Close")->trigger();
  EXPECT_EQ(end.count(), 1);
  hidden->close();
  EXPECT_TRUE(waitUntil([&] { return last.count() == 1; }));
}

}  // namespace
