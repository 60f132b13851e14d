// What a page can reach past its window, as a hostile page tries it: other programs, the
// user's files, the real address, the desktop's dialogs, engine switches from the
// environment, and texts that pass themselves off as the browser's own. Real pages from
// the local server and on disk, real clicks through XTest, the real executable.
#include "app/browser_window.h"
#include "browser/browser_engine.h"
#include "browser/external_prompt.h"
#include "browser/res_scheme.h"
#include "browser/start_page.h"
#include "browser/webengine_browser.h"
#include "favorites/favorite_dialogs.h"
#include "favorites/favorites_menu.h"
#include "platform/folders.h"
#include "support/engine_window.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"
#include "support/x_probe.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkProxy>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>
#include <optional>

#include <unistd.h>

using browser::BrowserEngine;
using testsupport::waitUntil;

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

using testsupport::EngineWindow;

bool writeFile(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

// The parent of a process, from /proc; 0 when it is gone.
qint64 parentOf(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QByteArray line = stat.readAll();
  // "pid (name) state ppid ...": the name may hold spaces and brackets.
  return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
}

// Whether a page process of the engine runs below this process.
bool rendererBelow(qint64 root) {
  QDirIterator procs(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
  while (procs.hasNext()) {
    const QString dir = procs.next();
    QFile cmdline(dir + "/cmdline");
    if (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains("--type=renderer")) {
      continue;
    }
    for (qint64 pid = QFileInfo(dir).fileName().toLongLong(); pid > 1; pid = parentOf(pid)) {
      if (pid == root) return true;
    }
  }
  return false;
}

// How a label shows its text: as plain text, or as markup read from it.
bool shownAsText(const QLabel* label) {
  return label->textFormat() == Qt::PlainText ||
         (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

// Stands in for the desktop's handlers of the test's own schemes: what would have been
// started, and with which address.
class DesktopHandler : public QObject {
  Q_OBJECT

 public:
  explicit DesktopHandler(const QStringList& schemes) : m_schemes(schemes) {
    for (const QString& s : m_schemes) QDesktopServices::setUrlHandler(s, this, "open");
  }
  ~DesktopHandler() override {
    for (const QString& s : m_schemes) QDesktopServices::unsetUrlHandler(s);
  }
  QStringList opened;

 public slots:
  void open(const QUrl& url) { opened << url.toString(); }

 private:
  QStringList m_schemes;
};

class PageReach : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    // Another program's addresses: one on load with no click, a link, and a button whose
    // one click tries three; every element on a line of its own, large enough to hit.
    server->setPage("/schemes", "Schemes",
                    "<style>a, button { display: block; font-size: 40px; margin: 4px; }</style>"
                    "<a id=mail href='hlmail:x@example.org?attach=/root/.ssh/id_rsa'>mail</a>"
                    "<a id=ssh href='hlssh://root@example.org/'>ssh</a>"
                    "<a id=other href='hlssh://other.example/'>other</a>"
                    "<button id=many onclick=\"location='hlssh://one/'; location='hlssh://two/';"
                    " setTimeout(() => location = 'hlssh://three/', 100)\">many</button>"
                    "<script>location = 'hlssh://onload/';</script>");
  }
  static void TearDownTestSuite() { delete server; }

  static inline testsupport::HttpServer* server = nullptr;
};

// ---- Other programs -------------------------------------------------------------------

TEST_F(PageReach, AnotherProgramsAddressOpensOnlyAfterTheUserSaysOpen) {
  EngineWindow w;
  DesktopHandler desktop({"hlmail", "hlssh"});
  QStringList asked;  // the addresses the questions named
  bool answerOpen = false;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), browser::kExternalQuestionName);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              box->button(QMessageBox::Cancel));
    asked << box->text();
    answerOpen ? box->findChild<QAbstractButton*>("Open")->click()
               : box->button(QMessageBox::Cancel)->click();
  });
  // Its own try on load, without a click, fails that load; the page stays.
  w.go(server->url("/schemes"));
  ASSERT_TRUE(waitUntil([&] { return w.js("document.title").toString() == "Schemes"; }));
  const auto question = [](const char* address) {
    return browser::externalQuestionText(QUrl(QString::fromLatin1(address)));
  };
  // Each step is one click; a click that must ask nothing is followed by one that asks, so
  // a late question of the first would show up out of turn.
  struct Step {
    const char* id;
    std::function<void()> before;
    bool open;
    QStringList expectAsked;
    QStringList expectOpened;
  };
  const Step steps[] = {
      {"mail", {}, false, {question("hlmail:x@example.org?attach=/root/.ssh/id_rsa")}, {}},
      {"ssh", {}, true, {question("hlssh://root@example.org/")}, {"hlssh://root@example.org/"}},
      {"many", {}, false, {question("hlssh://one/")}, {}},
      {"ssh", [&] { w.engine->setOffline(true); }, false, {}, {}},
      {"other",
       [&] { w.engine->setOffline(false); },
       false,
       {question("hlssh://other.example/")},
       {}},
      {"ssh", [&] { w.engine->setMayOpenExternally([] { return false; }); }, true, {}, {}},
      {"other",
       [&] { w.engine->setMayOpenExternally({}); },
       true,
       {question("hlssh://other.example/")},
       {"hlssh://other.example/"}},
  };
  EXPECT_EQ(asked, QStringList{}) << "asked on load, without a click";
  QStringList refused;  // what the status bar said of a click that asked nothing
  QObject::connect(w.engine, &BrowserEngine::statusTextChanged, [&](const QString& text) {
    if (text.startsWith("No other program was started")) refused << text;
  });
  QStringList allAsked;
  QStringList allOpened;
  for (const Step& step : steps) {
    if (step.before) step.before();
    answerOpen = step.open;
    const qsizetype before = refused.size();
    w.click(step.id);
    allAsked += step.expectAsked;
    allOpened += step.expectOpened;
    // Either a question comes, or the status bar says no program was started.
    if (step.expectAsked.isEmpty()) {
      ASSERT_TRUE(waitUntil([&] { return refused.size() > before; })) << step.id;
    } else {
      ASSERT_TRUE(waitUntil([&] { return asked.size() == allAsked.size(); })) << step.id;
      EXPECT_TRUE(waitUntil([&] { return desktop.opened == allOpened; })) << step.id;
    }
  }
  // The button's later tries had their chance while the last questions were asked.
  EXPECT_EQ(asked, allAsked);
  EXPECT_EQ(desktop.opened, allOpened);
  EXPECT_EQ(w.engine->url(), server->url("/schemes")) << "the page stays";
}

// ---- The user's files -----------------------------------------------------------------

TEST_F(PageReach, ALocalPageShowsWhatItLinksButItsScriptReadsNoOtherFile) {
  QTemporaryDir dir;
  QTemporaryDir elsewhere;
  const QString outside = elsewhere.filePath("private.htm");
  ASSERT_TRUE(writeFile(outside, "<p>PRIVATE</p>"));
  ASSERT_TRUE(writeFile(dir.filePath("secret.txt"), "SECRET"));
  ASSERT_TRUE(writeFile(dir.filePath("page_files/s.css"), "p { color: rgb(1, 2, 3); }"));
  ASSERT_TRUE(writeFile(dir.filePath("page_files/i.svg"),
                        "<svg xmlns='http://www.w3.org/2000/svg' width='17' height='9'/>"));
  ASSERT_TRUE(writeFile(dir.filePath("page_files/frame.htm"), "<p>FRAME</p>"));
  const QByteArray page =
      "<link rel=stylesheet href='page_files/s.css'><p id=p>x</p>"
      "<img id=i src='page_files/i.svg'><iframe id=f src='page_files/frame.htm'></iframe>"
      "<iframe id=key src='secret.txt'></iframe><iframe id=list src='page_files/'></iframe>"
      "<iframe id=out src='" +
      QUrl::fromLocalFile(outside).toEncoded() +
      "'></iframe><script>"
      "var x = new XMLHttpRequest(); try { x.open('GET', 'secret.txt', false); x.send();"
      "  window.xhr = x.responseText; } catch (e) { window.xhr = 'refused'; }"
      "window.fetched = fetch('secret.txt').then(r => r.text(), () => 'refused');"
      "</script>";
  ASSERT_TRUE(writeFile(dir.filePath("page.htm"), page));
  EngineWindow w;
  ASSERT_TRUE(w.go(QUrl::fromLocalFile(dir.filePath("page.htm")).toString()));
  const auto frameText = [&](const char* id) {
    return w
        .js(QStringLiteral("(() => { try { var d = %1.contentDocument;"
                           " return d ? d.body.innerText.trim() : 'refused'; }"
                           " catch (e) { return 'refused'; } })()")
                .arg(QLatin1String(id)))
        .toString();
  };
  // What it links as a page shows: its style, its image, its own frame.
  EXPECT_TRUE(waitUntil([&] { return frameText("f") == "FRAME"; }));
  EXPECT_EQ(w.js("getComputedStyle(p).color").toString(), "rgb(1, 2, 3)");
  EXPECT_EQ(w.js("i.naturalWidth").toInt(), 17);
  // What its script would read of other files does not come.
  EXPECT_EQ(w.js("xhr").toString(), "refused");
  QVariant fetched;
  w.js("fetched.then(t => window.fetchedText = t); 1");
  EXPECT_TRUE(waitUntil([&] { return (fetched = w.js("window.fetchedText")).isValid(); }));
  EXPECT_EQ(fetched.toString(), "refused");
  for (const char* frame : {"key", "list", "out"}) {
    const QString text = frameText(frame);
    EXPECT_FALSE(text.contains("SECRET") || text.contains("secret.txt") || text.contains("PRIVATE"))
        << frame << ": " << text.toStdString();
  }
}

// ---- The real address -----------------------------------------------------------------

TEST_F(PageReach, WebRtcTellsNoAddressPastTheProxy) {
  // The suite's server stands in for the proxy; the page comes through it.
  server->setPage("http://reach.example/ice", "ICE",
                  "<script>window.found = []; window.done = false;"
                  "var pc = new RTCPeerConnection({iceServers: []}); pc.createDataChannel('d');"
                  "pc.onicecandidate = e => e.candidate ? found.push(e.candidate.candidate)"
                  " : (done = true);"
                  "pc.createOffer().then(o => pc.setLocalDescription(o));</script>");
  EngineWindow w;
  QNetworkProxy::setApplicationProxy(
      QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server->port()));
  // The engine reads a new proxy on the request after; localhost goes direct.
  w.go(server->url("/none"));
  ASSERT_TRUE(w.go("http://reach.example/ice"));
  EXPECT_TRUE(waitUntil([&] { return w.js("done").toBool(); }, 20000)) << "gathering never ended";
  const QString found = w.js("found.join('\\n')").toString();
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  w.go(server->url("/none"));
  EXPECT_FALSE(found.contains(" typ host") || found.contains(" typ srflx") ||
               found.contains(" typ prflx"))
      << found.toStdString();
}

// ---- The desktop's own dialogs --------------------------------------------------------

TEST_F(PageReach, EveryFileDialogIsQtsOwnAndNoRecentFilesListIsKept) {
  EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
  const QString gtk = QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platformthemes/libqgtk3.so";
  if (!QFileInfo::exists(gtk)) {
    GTEST_SKIP() << "no GTK platform theme installed (" << gtk.toStdString()
                 << "): only Qt's own dialogs can show here";
  }
  QTemporaryDir home;
  QTemporaryDir runtime;
  ASSERT_TRUE(writeFile(home.filePath("page.htm"),
                        "<title>To save</title><input type=file style='font-size:40px'>"));
  const QString saveTo = home.filePath("saved.htm");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QT_QPA_PLATFORMTHEME", "gtk3");
  QProcess probe;
  probe.setProcessEnvironment(env);
  probe.start(HUSHLEAF_REACH_PROBE, {"file-dialogs", home.filePath("page.htm"), saveTo});
  ASSERT_TRUE(waitUntil([&] { return probe.state() == QProcess::NotRunning; }, 60000));
  const QString said = QString::fromLocal8Bit(probe.readAllStandardOutput());
  EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
  EXPECT_EQ(said, "page file field: qt\nsave: qt\n");
  EXPECT_TRUE(QFileInfo::exists(saveTo)) << "the page was saved";
  QStringList recent;
  for (QDirIterator it(home.path(), {"recently-used.xbel*"}, QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    recent << it.next();
  }
  EXPECT_EQ(recent, QStringList{});
}

// ---- Engine settings from the environment ---------------------------------------------

TEST_F(PageReach, TheEnvironmentTurnsNoEngineSwitchOnAndRootIsRefusedWithoutNoSandbox) {
  QTemporaryDir home;
  QTemporaryDir runtime;
  QTcpServer probePort;  // a port nobody listens on once it is closed again
  ASSERT_TRUE(probePort.listen(QHostAddress::LocalHost));
  const quint16 port = probePort.serverPort();
  probePort.close();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QTWEBENGINE_REMOTE_DEBUGGING", QString("127.0.0.1:%1").arg(port));
  // The engine here starts its own process whatever this names; it is cleared all the same.
  env.insert("QTWEBENGINE_PROCESS_PATH", home.filePath("no-such-engine-process"));
  env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");

  QProcess browser;
  browser.setProcessEnvironment(env);
  if (geteuid() == 0) {
    // As root, the sandbox variable does not stand in for the switch.
    browser.start(HUSHLEAF_EXE, {});
    ASSERT_TRUE(browser.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return browser.state() == QProcess::NotRunning; }, 20000))
        << "started as root without --no-sandbox";
    EXPECT_NE(browser.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(browser.readAllStandardError());
    EXPECT_TRUE(err.contains("root") && err.contains("--no-sandbox")) << err.toStdString();
  }

  browser.start(HUSHLEAF_EXE, {"--no-sandbox"});
  ASSERT_TRUE(browser.waitForStarted());
  // The start page's process runs: the engine is up, its switches read long since.
  const auto rendererRunning = [&] { return rendererBelow(browser.processId()); };
  const bool up = waitUntil(rendererRunning, 45000);
  QTcpSocket debugger;
  debugger.connectToHost(QHostAddress::LocalHost, port);
  const bool listening = debugger.waitForConnected(3000);
  browser.kill();
  browser.waitForFinished(10000);
  EXPECT_TRUE(up) << "no page process: " << browser.readAllStandardError().toStdString();
  EXPECT_FALSE(listening) << "the debugging port from the environment is open";
}

// ---- Texts of the page shown as the browser's own -------------------------------------

TEST_F(PageReach, PageTextsAreShownAsTextNeverAsMarkup) {
  const QString forged =
      "<b>Address:</b> https://bank.example/<br><b>Connection:</b> Encrypted (secure)";
  server->setPage("/forged", forged, "<a id=l href='/b' style='font-size:40px'>link</a>");
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/forged")));
  QList<const QLabel*> shown;
  QStringList texts;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
      if (label->text().contains("bank.example")) {
        texts << label->text();
        EXPECT_TRUE(shownAsText(label)) << label->text().toStdString();
      }
    }
    testsupport::ModalWatcher::dismiss(modal);
  });
  EXPECT_TRUE(w.engine->run(browser::PageCommand::Properties));
  EXPECT_EVENTUALLY_EQ(watcher.seen(), 1);
  EXPECT_EQ(texts, QStringList{forged}) << "the title, once";

  // The Add Favorite dialog's address, and a favourite's name in the menu.
  texts.clear();
  std::optional<favorites::DialogResult> added;
  favorites::addFavorite(&w.window, QDir::tempPath(),
                         "data:text/html,<b>Address:</b> https://bank.example/", "x",
                         [&](favorites::DialogResult result, const QString&) { added = result; });
  EXPECT_EVENTUALLY_EQ(added == favorites::DialogResult::Cancelled, true);
  EXPECT_EQ(texts.size(), 1);
  const QString folder = platform::favoritesFolder();
  ASSERT_TRUE(writeFile(folder + "/Tom & Jerry.url", "[InternetShortcut]\r\nURL=http://t/"));
  QMainWindow window;
  auto* engine = new browser::WebEngineBrowser(&window);
  window.setCentralWidget(engine->widget());
  const favorites::FavoritesMenu menu(&window, engine);
  QStringList names;
  for (const QAction* item : menu.actions()) names << item->iconText();
  QFile::remove(folder + "/Tom & Jerry.url");
  EXPECT_TRUE(names.contains("Tom & Jerry")) << names.join('|').toStdString();
}

TEST_F(PageReach, StatusBarAndPadlockSayWhatIsTrueOfThePage) {
  // A redirect to another site: the box keeps what was typed, the padlock names the site.
  testsupport::HttpServer other;
  other.setPage("/landed", "Landed", "<p>landed</p>");
  testsupport::HttpResponse redirect;
  redirect.status = 302;
  redirect.headers = {
      {"Location", QString("http://localhost:%1/landed").arg(other.port()).toUtf8()}};
  server->setPage("/away", redirect);
  const auto window = std::make_unique<app::BrowserWindow>();
  app::BrowserWindow* w = window.get();
  w->show();
  QSignalSpy done(w->engine(), &BrowserEngine::loadFinished);
  w->engine()->load(server->url("/away"));
  ASSERT_TRUE(waitUntil([&] { return !done.isEmpty() && w->engine()->title() == "Landed"; }));
  emit w->engine()->securityChanged(browser::Security::Secure);
  auto* padlock = w->findChild<QLabel*>("StatusPanel2");
  EXPECT_EQ(padlock->toolTip(), "Secure connection to localhost");
  EXPECT_EQ(padlock->accessibleDescription(), "Secure connection to localhost");
  // The engine's texts carry the page's words: shown as the text they are.
  auto* status = w->findChild<QLabel*>("StatusPanel1");
  emit w->engine()->statusTextChanged("<b>Done</b> https://bank.example/");
  EXPECT_EQ(status->text(), "<b>Done</b> https://bank.example/");
  EXPECT_TRUE(shownAsText(status));
}

// ---- Smaller ones ---------------------------------------------------------------------

TEST_F(PageReach, TheStartPageLoadsFromAFolderWithHashOrQuestionMarkInItsName) {
  QWebEngineProfile profile;
  const QString exe = "hushleaf-browser";
  for (const QString folder : {"/opt/a#b", "/opt/what?x=1", "/opt/100% sure", "/usr/bin"}) {
    const QString address = browser::startPageAddress(folder, exe);
    auto* handler = new browser::ResSchemeHandler(browser::startPagePath(folder, exe), &profile);
    profile.removeUrlScheme("res");
    profile.installUrlSchemeHandler("res", handler);
    QWebEnginePage page(&profile);
    EXPECT_TRUE(testsupport::load(&page, [&] {
      page.load(browser::WebEngineBrowser::urlFromInput(address));
    })) << address.toStdString();
    EXPECT_EQ(testsupport::runJs(&page, "document.querySelectorAll('p').length").toInt(), 5)
        << address.toStdString();
  }
}

TEST_F(PageReach, PrintPreviewEndsWhenThePagesProcessDies) {
  QTemporaryDir dir;
  QByteArray long_;
  for (int i = 0; i < 400; ++i) long_ += "<p>A page long enough to take its time to print.</p>";
  ASSERT_TRUE(writeFile(dir.filePath("long.htm"), long_));
  QProcess probe;
  probe.start(HUSHLEAF_REACH_PROBE, {"print-preview", dir.filePath("long.htm")});
  const bool ended = waitUntil([&] { return probe.state() == QProcess::NotRunning; }, 60000);
  if (!ended) {
    probe.kill();
    probe.waitForFinished(5000);
  }
  ASSERT_TRUE(ended) << "Print Preview kept waiting for a page that is gone";
  EXPECT_EQ(QString::fromLocal8Bit(probe.readAllStandardOutput()),
            "preview ended, page process ended\n");
}

TEST_F(PageReach, AddFavoriteOffersTheFoldersTheMenuShowsAndNoOthers) {
  QTemporaryDir root;
  QStringList expected = {"Favorites", "Favorites/A", "Favorites/A/B"};
  QDir(root.path()).mkpath("A/B");
  QDir(root.path()).mkpath(".hidden/C");
  QFile::link(root.filePath("A"), root.filePath("Link"));
  // Deeper than the menu's sub-menus go: 33 levels.
  QString deep;
  for (int level = 1; level <= 33; ++level) {
    deep += (deep.isEmpty() ? "" : "/") + QStringLiteral("D");
    if (level <= 32) expected << "Favorites/" + deep;
  }
  QDir(root.path()).mkpath(deep);
  std::sort(expected.begin() + 1, expected.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  QStringList offered;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    auto* folder = modal->findChild<QComboBox*>("CreateIn");
    for (int i = 0; folder != nullptr && i < folder->count(); ++i) offered << folder->itemText(i);
    testsupport::ModalWatcher::dismiss(modal);
  });
  QWidget owner;
  favorites::addFavorite(&owner, root.path(), "http://a/", "a");
  EXPECT_EVENTUALLY_EQ(watcher.seen(), 1);
  EXPECT_EQ(offered, expected);
}

}  // namespace

#include "page_reach_test.moc"
