// The browser window as a user meets it: real windows on a private X server, real
// pages from a local HTTP server.
#include "app/db_main.h"
#include "app/frm_browser.h"
#include "app/layout.h"
#include "app/window_test_support.h"
#include "browser/find_bar.h"
#include "browser/webengine_browser.h"
#include "platform/app_title.h"
#include "platform/x11.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

using testsupport::pump;
using testsupport::waitUntil;
using windowtest::loadAndWait;
using windowtest::pageOf;
using windowtest::runJs;

namespace {

// Acts on the next modal dialog once it shows (polling, so a slow start is no problem);
// a dialog nobody handled is closed after ten seconds so a failure cannot hang the run.
void onModal(const std::function<void(QWidget*)>& act) {
  auto* timer = new QTimer(qApp);
  auto* waited = new int(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      delete waited;
      act(modal);
    } else if (++*waited > 100) {
      timer->stop();
      timer->deleteLater();
      delete waited;
    }
  });
  timer->start(100);
}

void activate(frmBrowser* w) {
  w->activateWindow();
  w->raise();
  waitUntil([&] { return QApplication::activeWindow() == w; }, 3000);
}

class BrowserWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage(QStringLiteral("/a"), QStringLiteral("Page A"),
                    QStringLiteral("<p id=t>alpha needle needle needle</p>"
                                   "<input id=i value='typed text'>"));
    server->setPage(QStringLiteral("/b"), QStringLiteral("  Page B  "),
                    QStringLiteral("<p>beta</p>"));
    server->setPage(QStringLiteral("/popup"), QStringLiteral("Opener"),
                    QStringLiteral("<script>function go(){window.open('/b');}</script>"
                                   "<button id=o onclick='go()'>open</button>"));
    app::Main();
    // The suite keeps running when windows close; the program's own exit is tested apart.
    QObject::disconnect(&app::WindowEvents::instance(), nullptr, qApp, nullptr);
    main = frmBrowser::mainWindow();
  }

  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void TearDown() override {
    // Only the main window stays from one test to the next.
    for (frmBrowser* w : frmBrowser::windows()) {
      if (w != main) {
        delete w;
      }
    }
  }

  static inline testsupport::HttpServer* server = nullptr;
  static inline frmBrowser* main = nullptr;
};

TEST_F(BrowserWindow, StartsOutOfTheTaskListOnTheStartPage) {
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(
      waitUntil([] { return main->txtURL->currentText() == QLatin1String("http://www."); }));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Hushleaf Browser"));
  EXPECT_EQ(platform::AppTitle::get(), QStringLiteral("Hushleaf Browser"));
  EXPECT_EQ(main->Slider1->value(), 255);
  EXPECT_FALSE(main->button(app::kButtonZodorAzev)->isChecked());
  EXPECT_TRUE(main->button(app::kButtonZodorAzev)->isCheckable());
  EXPECT_TRUE(main->WebBrowser1->LocationURL().startsWith(QLatin1String("res:")));
  const QString text = runJs(main, QStringLiteral("document.body.innerText"));
  EXPECT_TRUE(text.contains(QStringLiteral("Once the ZodorAzev button is depressed,")));
  EXPECT_TRUE(text.contains(QStringLiteral("LOWER RIGHT portion of the screen.")));
  EXPECT_EQ(runJs(main, QStringLiteral("String(document.querySelectorAll('p').length)")),
            QStringLiteral("5"));
  EXPECT_EQ(runJs(main, QStringLiteral("document.title")), QString());
  const auto state =
      platform::x11::atomListProperty(static_cast<std::uint32_t>(main->winId()), "_NET_WM_STATE");
  EXPECT_NE(
      std::find(state.begin(), state.end(), platform::x11::atom("_NET_WM_STATE_SKIP_TASKBAR")),
      state.end());
  EXPECT_NE(std::find(state.begin(), state.end(), platform::x11::atom("_NET_WM_STATE_SKIP_PAGER")),
            state.end());
}

TEST_F(BrowserWindow, ControlsCarryAccessibleNames) {
  EXPECT_EQ(main->Slider1->accessibleName(), QStringLiteral("Transparency"));
  EXPECT_EQ(main->txtURL->accessibleName(), QStringLiteral("Address"));
  EXPECT_EQ(main->cmdGo->accessibleName(), QStringLiteral("Go"));
  const QStringList texts = {"Back", "Forward", "Stop",  "Refresh",
                             "Home", "",        "Proxy", "ZodorAzev"};
  for (int i = 1; i <= app::kToolbarButtonCount; ++i) {
    EXPECT_EQ(main->button(i)->text(), texts.at(i - 1)) << i;
    if (i != app::kButtonSeparator) {
      QWidget* w = main->Toolbar1->widgetForAction(main->button(i));
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->accessibleName(), texts.at(i - 1));
    }
  }
}

TEST_F(BrowserWindow, CtrlNOpensAWindowAndOtherKeysPass) {
  activate(main);
  const auto before = frmBrowser::windows().size();
  QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  pump(100);
  EXPECT_EQ(frmBrowser::windows().size(), before);
  main->txtURL->setFocus();
  main->txtURL->lineEdit()->clear();
  QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::NoModifier, 'n');
  pump(50);
  EXPECT_EQ(main->txtURL->currentText(), QStringLiteral("n"));
  EXPECT_EQ(frmBrowser::windows().size(), before);
  QTest::keyClick(main->windowHandle(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == before + 1; }));
  // Swallowed: the box did not see it.
  EXPECT_EQ(main->txtURL->currentText(), QStringLiteral("n"));
  frmBrowser* opened = frmBrowser::windows().last();
  EXPECT_TRUE(opened->isVisible());
  // File > New opens the same page.
  EXPECT_TRUE(waitUntil(
      [&] { return opened->WebBrowser1->LocationURL() == main->WebBrowser1->LocationURL(); }));
}

TEST_F(BrowserWindow, ShortWindowKeepsTheBrowserHeightButNotItsWidth) {
  auto* w = new frmBrowser();
  w->show();
  QWidget* view = w->WebBrowser1->widget();
  waitUntil([&] { return view->height() > 100; }, 3000);
  const int heightBefore = view->height();
  EXPECT_EQ(view->y(), 67);
  EXPECT_EQ(view->x(), -1);
  // 1355 twips is about 90 pixels of client height; 60 is well below.
  w->resize(400, 60 + w->menuBar()->height());
  pump(100);
  EXPECT_EQ(view->height(), heightBefore);
  EXPECT_EQ(view->width(), w->centralWidget()->width());
  w->resize(1, 1);
  pump(100);
  EXPECT_GE(view->width(), 0);
  EXPECT_GE(view->height(), 0);
  w->resize(700, 500);
  pump(100);
  const float expected = app::pixelsToTwips(w->centralWidget()->height()) -
                         app::pixelsToTwips(w->CoolBar1->height()) - 315 - 20;
  EXPECT_EQ(view->height(), app::twipsToPixels(expected));
}

TEST_F(BrowserWindow, TypingCompletesFromHistoryAndEnterLoads) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  // The box's text, not the engine's address, goes to the history.
  main->txtURL->lineEdit()->setText(server->url("/b"));
  ASSERT_TRUE(loadAndWait(main, server->url("/b")));
  EXPECT_EQ(main->history().entries().first(), server->url("/b"));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Page B - Hushleaf Browser"));

  activate(main);
  main->txtURL->setFocus();
  main->txtURL->lineEdit()->clear();
  QTest::keyClicks(main->txtURL->lineEdit(), QStringLiteral("127.0"));
  EXPECT_EQ(main->txtURL->currentText(), server->url("/b"));
  EXPECT_EQ(main->txtURL->lineEdit()->selectionStart(), 12);  // "http://" + "127.0"
  QTest::keyClick(main->txtURL->lineEdit(), Qt::Key_Backspace);
  // Backspace takes the selected remainder and completes nothing.
  EXPECT_EQ(main->txtURL->currentText(), QStringLiteral("http://127.0"));
  main->txtURL->lineEdit()->setText(server->url("/a"));
  QSignalSpy done(main->WebBrowser1, &browser::BrowserEngine::DocumentComplete);
  QTest::keyClick(main->txtURL->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(main->WebBrowser1->LocationURL(), server->url("/a"));
  EXPECT_EQ(main->history().entries().first(), server->url("/a"));
  EXPECT_EQ(main->history().indexOf(server->url("/a")), 0);
  EXPECT_EQ(main->txtURL->count(), main->history().count());
}

TEST_F(BrowserWindow, StatusCaptionAndPadlockFollowTheEngine) {
  emit main->WebBrowser1->StatusTextChange(QStringLiteral("  word  "));
  EXPECT_EQ(main->StatusPanel1->text(), QStringLiteral("word"));
  emit main->WebBrowser1->StatusTextChange(QString());
  EXPECT_EQ(main->StatusPanel1->text(), QString());
  emit main->WebBrowser1->TitleChange(QStringLiteral("News"));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("News - Hushleaf Browser"));
  platform::AppTitle::set(QString());
  emit main->WebBrowser1->TitleChange(QStringLiteral("News"));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("News - "));
  platform::AppTitle::set(QStringLiteral("Hushleaf Browser"));
  emit main->WebBrowser1->SetSecureLockIcon(1);
  EXPECT_FALSE(main->StatusPanel2->isHidden());
  emit main->WebBrowser1->SetSecureLockIcon(0);
  EXPECT_TRUE(main->StatusPanel2->isHidden());
}

TEST_F(BrowserWindow, PopupGetsAWindowWithTheMainWindowsLevelAndTheOpenersSilence) {
  main->Slider1->setValue(200);
  main->LoadNewWindow(server->url("/popup"), true);
  frmBrowser* opener = frmBrowser::windows().last();
  ASSERT_NE(opener, main);
  opener->Slider1->setValue(100);
  ASSERT_TRUE(
      waitUntil([&] { return opener->WebBrowser1->LocationURL() == server->url("/popup"); }));
  ASSERT_TRUE(waitUntil([&] { return pageOf(opener)->title() == QLatin1String("Opener"); }));
  const auto before = frmBrowser::windows().size();
  runJs(opener, QStringLiteral("go(); 'ok'"));
  ASSERT_TRUE(waitUntil([&] { return frmBrowser::windows().size() == before + 1; }));
  frmBrowser* popup = frmBrowser::windows().last();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_TRUE(popup->WebBrowser1->RegisterAsBrowser());
  EXPECT_TRUE(popup->WebBrowser1->Silent());
  EXPECT_EQ(popup->Slider1->value(), 200);
  EXPECT_NEAR(popup->windowOpacity(), 200 / 255.0, 0.01);
  EXPECT_TRUE(waitUntil([&] { return popup->WebBrowser1->LocationURL() == server->url("/b"); }));
  // Its first document puts "http://www." in its own empty box.
  EXPECT_TRUE(
      waitUntil([&] { return popup->txtURL->currentText() == QLatin1String("http://www."); }));
  main->Slider1->setValue(255);
}

TEST_F(BrowserWindow, MenuBarFollowsTheDesign) {
  struct Row {
    QString path;
    QString shortcut;
  };
  const auto describe = [](QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) {
        out << QStringLiteral("-");
      } else if (a->menu() != nullptr) {
        out << QStringLiteral("[") + a->text() + QStringLiteral("]");
      } else {
        out << a->text() + (a->shortcut().isEmpty() ? QString() : "\t" + a->shortcut().toString());
      }
    }
    return out;
  };
  QStringList top;
  for (QAction* a : main->menuBar()->actions()) {
    top << a->text();
  }
  // The Favorites menu goes between Tools and Help when it is built.
  top.removeAll(QStringLiteral("F&avorites"));
  top.removeAll(QStringLiteral("Favorites"));
  EXPECT_EQ(top, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
  EXPECT_EQ(describe(main->mnuFile),
            (QStringList{"&New", "&Open...\tCtrl+O", "-", "&Save Page As...", "-", "Print\tCtrl+P",
                         "Page Setup", "Print Preview", "-", "File Properties", "Work Offline",
                         "&Close"}));
  EXPECT_EQ(describe(main->mnuEdit),
            (QStringList{"Undo", "-", "Cut", "Copy", "Paste", "-", "Select All\tCtrl+A", "-",
                         "Find on this page\tCtrl+F"}));
  EXPECT_EQ(describe(main->mnuView),
            (QStringList{"[G&o to]", "Sto&p", "&Refresh", "[Text Size]", "View Source"}));
  EXPECT_EQ(describe(main->mnuGoTo),
            (QStringList{"&Back", "&Forward", "-", "&Home Page", "Search"}));
  EXPECT_EQ(describe(main->mnuViewTextSize),
            (QStringList{"Smallest", "Small", "Medium", "Large", "Largest"}));
  EXPECT_EQ(describe(main->mnuTools),
            (QStringList{"Add to Favorites", "&Proxy Settings...", "Internet Options"}));
  EXPECT_FALSE(main->mnuFavorites->isVisible());
  EXPECT_FALSE(main->mnuProxy->isVisible());
  EXPECT_EQ(describe(main->mnuHelp), (QStringList{"Help", "About"}));
}

TEST_F(BrowserWindow, AcceleratorsFromTheAddressBoxActOnThePage) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  activate(main);
  main->txtURL->setFocus();
  ASSERT_EQ(main->activeControlName(), QStringLiteral("txtURL"));
  QTest::keyClick(main->windowHandle(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(waitUntil([] { return main->activeControlName() == QLatin1String("WebBrowser1"); }));
  EXPECT_TRUE(waitUntil([] {
    return runJs(main, QStringLiteral("window.getSelection().toString()")).contains("alpha");
  }));
  main->txtURL->setFocus();
  QTest::keyClick(main->windowHandle(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(waitUntil([] { return main->findBar()->isVisible(); }));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("needle"));
  EXPECT_TRUE(waitUntil([] { return main->findBar()->matchText() == QLatin1String("1 of 3"); }));
  main->findBar()->findNext();
  EXPECT_TRUE(waitUntil([] { return main->findBar()->matchText() == QLatin1String("2 of 3"); }));
  main->findBar()->findPrevious();
  EXPECT_TRUE(waitUntil([] { return main->findBar()->matchText() == QLatin1String("1 of 3"); }));
  main->findBar()->hide();
}

TEST_F(BrowserWindow, EditCommandsFollowTheActiveControl) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  activate(main);
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("before"));
  main->txtURL->setFocus();
  QLineEdit* edit = main->txtURL->lineEdit();
  edit->setText(QStringLiteral("http://127.0.0.1/xyz"));
  // Nothing selected: the clipboard stays.
  edit->deselect();
  main->mnuEditCut_Click();
  EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
  edit->setSelection(17, 3);
  main->mnuEditCut_Click();
  EXPECT_EQ(clipboard->text(), QStringLiteral("xyz"));
  EXPECT_EQ(edit->text(), QStringLiteral("http://127.0.0.1/"));
  // Undo in the box does nothing.
  main->mnuEditUndo_Click();
  EXPECT_EQ(edit->text(), QStringLiteral("http://127.0.0.1/"));
  // Copy from the box copies the page's selection.
  runJs(main, QStringLiteral(
                  "var r=document.createRange();r.selectNodeContents(document.getElementById('t'));"
                  "getSelection().removeAllRanges();getSelection().addRange(r);'ok'"));
  main->txtURL->setFocus();
  main->mnuEditCopy_Click();
  EXPECT_TRUE(waitUntil([&] { return clipboard->text().startsWith(QLatin1String("alpha")); }));
}

TEST_F(BrowserWindow, TextSizeMarksAndWorkOffline) {
  main->mnuViewFontSize_Click(0);
  main->mnuView_Click();
  EXPECT_TRUE(main->mnuViewFontSize[0]->isChecked());
  EXPECT_FALSE(main->mnuViewFontSize[2]->isChecked());
  main->mnuViewFontSize_Click(2);
  main->mnuViewTextSize_Click();
  EXPECT_TRUE(main->mnuViewFontSize[2]->isChecked());
  EXPECT_FALSE(main->mnuViewFontSize[0]->isChecked());

  main->mnuWorkOffline->trigger();
  EXPECT_TRUE(main->mnuWorkOffline->isChecked());
  EXPECT_TRUE(main->WebBrowser1->Offline());
  server->clearRequests();
  ASSERT_TRUE(loadAndWait(main, server->url("/b")));
  EXPECT_EQ(server->requestCount("/b"), 0);
  main->mnuWorkOffline->trigger();
  EXPECT_FALSE(main->mnuWorkOffline->isChecked());
  EXPECT_FALSE(main->WebBrowser1->Offline());
  ASSERT_TRUE(loadAndWait(main, server->url("/b")));
  EXPECT_EQ(server->requestCount("/b"), 1);
}

TEST_F(BrowserWindow, ViewSourceAndHelpStayInTheWindow) {
  ASSERT_TRUE(loadAndWait(main, server->url("/a")));
  main->mnuViewSource_Click();
  EXPECT_TRUE(waitUntil(
      [] { return main->WebBrowser1->LocationURL().startsWith(QLatin1String("view-source:")); }));
  main->mnuHelp2_Click();
  EXPECT_TRUE(
      waitUntil([] { return main->WebBrowser1->LocationURL().startsWith(QLatin1String("res:")); }));
}

TEST_F(BrowserWindow, CloseEndsTheWholeProgram) {
  QSignalSpy end(&app::WindowEvents::instance(), &app::WindowEvents::endProgram);
  auto* second = new frmBrowser();
  second->show();
  second->mnuClose_Click();
  EXPECT_EQ(end.count(), 1);
}

}  // namespace

namespace {

TEST_F(BrowserWindow, ProxyButtonOpensTheProxyDialogModally) {
  QString caption;
  onModal([&](QWidget* dialog) {
    caption = dialog->windowTitle();
    dialog->close();
  });
  main->Toolbar1_ButtonClick(app::kButtonProxy);
  EXPECT_EQ(caption, QStringLiteral("Proxy Settings"));
}

}  // namespace

namespace {

TEST_F(BrowserWindow, ZodorAzevHidesTheWindowOnceLeftAndTheZoneBringsItBack) {
  auto* w = new frmBrowser();
  w->setGeometry(100, 100, 500, 400);
  w->show();
  ASSERT_TRUE(waitUntil([&] { return w->isVisible(); }));
  emit w->WebBrowser1->TitleChange(QStringLiteral("News"));
  const QRect frame = w->frameGeometry();
  QCursor::setPos(frame.center());
  w->button(app::kButtonZodorAzev)->setChecked(true);
  pump(50);
  QCursor::setPos(frame.right() + 200, frame.center().y());
  ASSERT_TRUE(waitUntil([&] { return !w->isVisible(); }, 3000));
  EXPECT_EQ(w->windowTitle(), QString());
  EXPECT_EQ(platform::AppTitle::get(), QString());
  // A title arriving while hidden builds its caption from the emptied title.
  emit main->WebBrowser1->TitleChange(QStringLiteral("Other"));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Other - "));
  QCursor::setPos(1270, 1010);
  ASSERT_TRUE(waitUntil([&] { return w->isVisible(); }, 3000));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("News - Hushleaf Browser"));
  EXPECT_EQ(platform::AppTitle::get(), QStringLiteral("Hushleaf Browser"));
  // Restored but not entered: leaving does nothing.
  QCursor::setPos(5, 5);
  pump(100);
  EXPECT_TRUE(w->isVisible());
  w->button(app::kButtonZodorAzev)->setChecked(false);
}

}  // namespace

namespace {

TEST_F(BrowserWindow, OpenShowsTheChosenFileAndCancelChangesNothing) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/local page.htm";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>Local file</title></head><body>local</body></html>");
  }
  QString seen;
  onModal([&](QWidget* modal) {
    seen = QString::fromLatin1(modal->metaObject()->className());
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      // Typed into the name box as a user does; the dialog reads it only while focused.
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      dialog->activateWindow();
      edit->setFocus(Qt::OtherFocusReason);
      waitUntil([&] { return edit->hasFocus(); }, 3000);
      edit->selectAll();
      QTest::keyClicks(edit, path);
      QTest::keyClick(edit, Qt::Key_Return);
    } else {
      modal->close();
    }
  });
  main->mnuOpen_Click();
  EXPECT_EQ(seen, QStringLiteral("QFileDialog"));
  ASSERT_TRUE(
      waitUntil([&] { return QUrl(main->WebBrowser1->LocationURL()).toLocalFile() == path; }));
  onModal([](QWidget* modal) { modal->close(); });
  main->mnuOpen_Click();
  testsupport::pump(200);
  EXPECT_EQ(QUrl(main->WebBrowser1->LocationURL()).toLocalFile(), path);
}

TEST_F(BrowserWindow, AboutFromAnotherWindowBelongsToTheMainWindow) {
  auto* second = new frmBrowser();
  second->show();
  QWidget* owner = nullptr;
  QString version;
  onModal([&](QWidget* box) {
    owner = box->parentWidget();
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("Label2"))) {
      version = label->text();
    }
    box->close();
  });
  second->mnuAbout_Click();
  EXPECT_EQ(owner, main);
  EXPECT_EQ(version, QStringLiteral("Version 1.0"));
}

}  // namespace

namespace {

TEST_F(BrowserWindow, DownloadsAskWhereToSaveAndCancelSavesNothing) {
  // The program's own download handling, as start-up installs it.
  testsupport::HttpResponse file;
  file.contentType = "application/octet-stream";
  file.body = "download body";
  file.headers.append(qMakePair(QByteArray("Content-Disposition"),
                                QByteArray("attachment; filename=\"report.bin\"")));
  server->setPage(QStringLiteral("/report"), file);
  QTemporaryDir dir;
  const QString target = dir.path() + "/saved report.bin";
  QString suggested;
  onModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) {
      modal->close();
      return;
    }
    suggested = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    dialog->activateWindow();
    edit->setFocus(Qt::OtherFocusReason);
    waitUntil([&] { return edit->hasFocus(); }, 3000);
    edit->selectAll();
    QTest::keyClicks(edit, target);
    QTest::keyClick(edit, Qt::Key_Return);
  });
  main->WebBrowser1->Navigate(server->url("/report"));
  ASSERT_TRUE(waitUntil([&] { return QFileInfo(target).size() == 13; }));
  EXPECT_EQ(suggested, QStringLiteral("report.bin"));
  // Cancelled: nothing is written anywhere, not even to the downloads folder.
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  const auto before = QDir(downloads).entryList(QDir::Files).size();
  bool cancelled = false;
  onModal([&](QWidget* modal) {
    cancelled = qobject_cast<QFileDialog*>(modal) != nullptr;
    modal->close();
  });
  main->WebBrowser1->Navigate(server->url("/report"));
  ASSERT_TRUE(waitUntil([&] { return cancelled; }));
  testsupport::pump(500);
  EXPECT_EQ(QDir(downloads).entryList(QDir::Files).size(), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

}  // namespace

namespace {

TEST_F(BrowserWindow, SavingAndPrintingOddPagesGiveAClearResult) {
  server->setPage(QStringLiteral("/odd"), QStringLiteral("a/b\\c:d"), QStringLiteral("<p>odd</p>"));
  ASSERT_TRUE(loadAndWait(main, server->url("/odd")));
  QString suggested;
  onModal([&](QWidget* modal) {
    if (auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      suggested = edit->text();
    }
    modal->close();
  });
  main->mnuSavePageAs_Click();
  EXPECT_FALSE(suggested.isEmpty());
  EXPECT_FALSE(suggested.contains(QLatin1Char('/')));
  EXPECT_FALSE(suggested.contains(QLatin1Char('\\')));

  // A window with no page at all: each command shows its dialog or nothing, no crash.
  auto* blank = new frmBrowser();
  blank->show();
  for (const auto command : {&frmBrowser::mnuPrint_Click, &frmBrowser::mnuPrintPreview_Click,
                             &frmBrowser::mnuPageSetup_Click, &frmBrowser::mnuSavePageAs_Click,
                             &frmBrowser::mnuFileProperties_Click}) {
    onModal([](QWidget* modal) { modal->close(); });
    (blank->*command)();
    testsupport::pump(100);
  }
  EXPECT_TRUE(blank->isVisible());
}

}  // namespace

namespace {

TEST_F(BrowserWindow, TheSameAddressAgainKeepsTheBoxAndOneHistoryEntry) {
  for (const char* path : {"/a", "/b", "/a", "/a"}) {
    main->txtURL->lineEdit()->setText(server->url(QString::fromLatin1(path)));
    ASSERT_TRUE(loadAndWait(main, server->url(QString::fromLatin1(path))));
    EXPECT_EQ(main->txtURL->currentText(), server->url(QString::fromLatin1(path)));
  }
  EXPECT_EQ(main->history().entries().first(), server->url("/a"));
  EXPECT_EQ(main->history().entries().count(server->url("/a")), 1);
  EXPECT_EQ(main->history().entries().count(server->url("/b")), 1);
  QStringList shown;
  for (int i = 0; i < main->txtURL->count(); ++i) {
    shown << main->txtURL->itemText(i);
  }
  EXPECT_EQ(shown, main->history().entries());
  // Back and Forward finish documents too; the box and caption stay sound.
  QSignalSpy done(main->WebBrowser1, &browser::BrowserEngine::DocumentComplete);
  main->Toolbar1_ButtonClick(app::kButtonBack);
  ASSERT_TRUE(waitUntil([&] { return main->WebBrowser1->LocationURL() == server->url("/b"); }));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(main->txtURL->currentText(), server->url("/a"));
  EXPECT_TRUE(
      waitUntil([] { return main->windowTitle() == QLatin1String("Page B - Hushleaf Browser"); }));
}

}  // namespace
