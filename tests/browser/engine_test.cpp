// The web-engine backend as a user meets it: real pages from a local server, real dialogs,
// the real clipboard, files on disk, a fresh HOME.
#include "browser/start_page.h"
#include "browser/webengine_browser.h"
#include "support/http_server.h"
#include "support/modal.h"
#include "support/page.h"

#include <gtest/gtest.h>
#include <QClipboard>
#include <QCursor>
#include <QDirIterator>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWebEngineView>

using browser::BrowserEngine;
using testsupport::waitUntil;
namespace cmd = browser::olecmdid;
namespace opt = browser::olecmdexecopt;

namespace {

// One engine filling its own shown window, as a browser window hosts it.
struct EngineWindow {
  EngineWindow() : engine(new browser::WebEngineBrowser(&window)) {
    (new QVBoxLayout(&window))->addWidget(engine->widget());
    window.resize(800, 600);
    window.show();
  }
  bool go(const QString& address) {
    return testsupport::load(engine->page(), [&] { engine->Navigate(address); });
  }
  QVariant js(const QString& script) const { return testsupport::runJs(engine->page(), script); }
  QString text() const { return js("document.documentElement.innerText").toString(); }

  QWidget window;
  browser::WebEngineBrowser* engine;  // owned by its view inside window
};

QStringList firstArgs(const QSignalSpy& spy) {
  QStringList values;
  for (const auto& args : spy) {
    values << args.value(0).toString();
  }
  return values;
}

class Engine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A",
                    "<link rel=stylesheet href='/s.css'><img src='/i.svg'><input id=i value='hello "
                    "world'><a id=l href='/b' target=_blank style='font-size:40px'>to b</a>");
    server->setHandler([](const testsupport::HttpRequest& request) {
      // The style sheet and the image of /a; /slow never answers before Stop.
      testsupport::HttpResponse file;
      file.contentType = request.target.endsWith(".css") ? "text/css" : "image/svg+xml";
      file.body =
          request.target.endsWith(".css") ? "p {}" : "<svg xmlns='http://www.w3.org/2000/svg'/>";
      file.delayMs = request.target.startsWith("/slow") ? 600000 : 0;
      return file;
    });
    server->setPage("/b", "Page B", "<p>beta</p>");
    server->setPage("/frames", "Frames", "<iframe src='/b'></iframe><iframe src='/fake'></iframe>");
    // A frame that passes itself off as finished and tries to double its real report.
    server->setPage("/fake", "Fake",
                    "<script>var log = console.log.bind(console);"
                    "console.log = function (m) { log(m); log(m); };"
                    "var add = window.addEventListener.bind(window);"
                    "window.addEventListener = function (t, f) { add(t, f); add(t, f); };"
                    "for (var i = 0; i < 20; ++i) log('hushleaf-frame-complete:' +"
                    "  i.toString(16).padStart(16, '0') + ':' + location.href);</script>");
    server->setPage("/dialogs", "Dialogs",
                    "<script>r = [String(alert('a')), confirm('c'), prompt('p', 'd')];"
                    "print();</script>");
  }
  static void TearDownTestSuite() { delete server; }

  static inline testsupport::HttpServer* server = nullptr;
};

TEST_F(Engine, PrintPreviewPageSetupPropertiesAndSaveReachTheirDialogsAndFiles) {
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/a")));
  QTemporaryDir dir;
  QString saveTo;  // typed into the file dialog; empty: cancel
  QStringList kinds;
  QStringList texts;
  int previewPages = 0;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
      texts << label->text();
    }
    if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) {
      previewPages = preview->pageCount();
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal); files != nullptr && !saveTo.isEmpty()) {
      texts << files->selectedFiles();
      files->findChild<QLineEdit*>("fileNameEdit")->setText(saveTo);
      static_cast<QDialog*>(files)->accept();
    } else {
      testsupport::ModalWatcher::dismiss(modal);
    }
  });
  // No printer and no file to print to: even "without asking" asks.
  w.engine->printer().setOutputFormat(QPrinter::PdfFormat);
  w.engine->printer().setOutputFileName({});
  const struct {
    int id;
    int option;
    const char* dialog;
    bool done;
    QString saveTo;
  } rows[] = {{cmd::Print, opt::DoDefault, "QPrintDialog", false, {}},
              {cmd::Print, opt::DontPromptUser, "QPrintDialog", false, {}},
              {cmd::PrintPreview, opt::DoDefault, "QPrintPreviewDialog", true, {}},
              {cmd::PageSetup, opt::DoDefault, "QPageSetupDialog", false, {}},
              {cmd::Properties, opt::DoDefault, "QDialog", true, {}},
              {cmd::SaveAs, opt::DoDefault, "QFileDialog", false, {}},
              {cmd::SaveAs, opt::DoDefault, "QFileDialog", true, dir.filePath("saved.htm")},
              {9999, opt::DoDefault, "", false, {}}};
  for (const auto& row : rows) {
    kinds.clear();
    saveTo = row.saveTo;
    EXPECT_EQ(w.engine->ExecWB(row.id, row.option), row.done) << row.id;
    EXPECT_EQ(kinds.join(""), row.dialog) << row.id;
  }
  EXPECT_GT(previewPages, 0);
  for (const QString& shown : {server->url("/a"), QString("Page A")}) {
    EXPECT_TRUE(texts.contains(shown)) << texts.join('|').toStdString();
  }
  EXPECT_TRUE(texts.last().endsWith("/Page A.htm")) << "the name suggested";
  // The page is saved complete: its links point at the copies of its style sheet and image.
  const auto saved = [&] {
    QFile html(dir.filePath("saved.htm"));
    return html.open(QIODevice::ReadOnly) ? html.readAll() : QByteArray();
  };
  EXPECT_TRUE(waitUntil([&] { return saved().contains("saved_files/"); }));
  EXPECT_TRUE(waitUntil(
      [&] { return QDir(dir.filePath("saved_files")).entryList(QDir::Files).size() == 2; }));

  // Given a file, printing without asking writes it, one print at a time.
  w.engine->printer().setOutputFileName(dir.filePath("out.pdf"));
  QSignalSpy printed(w.engine->view(), &QWebEngineView::printFinished);
  ASSERT_TRUE(w.engine->ExecWB(cmd::Print, opt::DontPromptUser));
  EXPECT_FALSE(w.engine->ExecWB(cmd::Print, opt::DontPromptUser));
  ASSERT_TRUE(waitUntil([&] { return !printed.isEmpty(); }, 30000));
  QFile pdf(dir.filePath("out.pdf"));
  EXPECT_TRUE(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
  EXPECT_EQ(watcher.seen(), 7) << "printing without asking showed a dialog";
}

TEST_F(Engine, EditCommandsAndTextSizesWorkOnThePage) {
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/a")));
  w.js("document.getElementById('i').focus()");
  QClipboard* clipboard = QGuiApplication::clipboard();
  const struct {
    std::vector<int> ids;
    const char* clipboardBefore;
    const char* clipboard;
    const char* value;
  } rows[] = {{{cmd::SelectAll, cmd::Copy}, "-", "hello world", "hello world"},
              {{cmd::SelectAll, cmd::Cut}, "-", "hello world", ""},
              {{cmd::Paste}, "pasted", "pasted", "pasted"},
              {{cmd::Undo}, "pasted", "pasted", ""}};
  for (const auto& row : rows) {
    clipboard->setText(row.clipboardBefore);
    for (const int id : row.ids) {
      EXPECT_TRUE(w.engine->ExecWB(id, opt::DoDefault));
    }
    EXPECT_TRUE(waitUntil([&] {
      return clipboard->text() == row.clipboard &&
             w.js("document.getElementById('i').value").toString() == row.value;
    })) << row.value;
  }
  // Five text sizes, read back, growing, kept for the next page; nonsense is refused.
  const auto level = [&] {
    QVariant out;
    w.engine->ExecWB(cmd::Zoom, opt::DontPromptUser, nullptr, &out);
    return out;
  };
  EXPECT_EQ(level(), QVariant(browser::kDefaultTextSizeLevel));
  double factor = 0;
  for (const QVariant& in : {QVariant(0), QVariant(1), QVariant(2), QVariant(3), QVariant(4)}) {
    EXPECT_TRUE(w.engine->ExecWB(cmd::Zoom, opt::DontPromptUser, &in));
    EXPECT_EQ(level(), in);
    EXPECT_GT(w.engine->view()->zoomFactor(), factor);
    factor = w.engine->view()->zoomFactor();
  }
  for (const QVariant& bad : {QVariant(-1), QVariant(5), QVariant("big")}) {
    EXPECT_FALSE(w.engine->ExecWB(cmd::Zoom, opt::DontPromptUser, &bad));
  }
  ASSERT_TRUE(w.go(server->url("/b")));
  EXPECT_EQ(level(), QVariant(4));
  EXPECT_DOUBLE_EQ(w.engine->view()->zoomFactor(), factor);
}

TEST_F(Engine, SilentSuppressesScriptDialogsAndThePagesPrint) {
  EngineWindow w;
  QStringList kinds;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      box->button(QMessageBox::Ok)->click();
    } else {
      QDialog* dialog = static_cast<QDialog*>(modal);
      kinds.last() == "QPrintDialog" ? dialog->reject() : dialog->accept();
    }
  });
  w.engine->setSilent(true);
  ASSERT_TRUE(w.go(server->url("/dialogs")));
  EXPECT_EQ(w.js("JSON.stringify(r)").toString(), R"(["undefined",false,null])");
  EXPECT_EQ(kinds, QStringList{});
  w.engine->setSilent(false);
  ASSERT_TRUE(w.go(server->url("/dialogs")));
  EXPECT_EQ(w.js("JSON.stringify(r)").toString(), R"(["undefined",true,"d"])");
  ASSERT_TRUE(waitUntil([&] { return kinds.size() == 4; }));
  EXPECT_EQ(kinds.last(), "QPrintDialog");
}

TEST_F(Engine, OfflineBlocksTheNetworkButNotLocalPages) {
  EngineWindow w;
  QTemporaryDir dir;
  QFile local(dir.filePath("local.htm"));
  ASSERT_TRUE(local.open(QIODevice::WriteOnly) && local.write("<title>Local</title>") > 0);
  local.close();
  w.engine->setOffline(true);
  server->clearRequests();  // stragglers of earlier pages may still come; /b is asked for here only
  EXPECT_FALSE(w.go(server->url("/b")));
  EXPECT_TRUE(w.go(browser::currentStartPageAddress()));
  EXPECT_TRUE(w.go(QUrl::fromLocalFile(local.fileName()).toString()));
  EXPECT_EQ(w.engine->LocationName(), "Local");
  EXPECT_EQ(server->requestCount("/b"), 0) << "an offline load reached the server";
  w.engine->setOffline(false);
  EXPECT_TRUE(w.go(server->url("/b")));
  EXPECT_EQ(server->requestCount("/b"), 1);
}

TEST_F(Engine, HistoryNeedsPagesRefreshFetchesAgainAndStopEndsASlowLoad) {
  EngineWindow w;
  EXPECT_FALSE(w.engine->GoBack() || w.engine->GoForward());
  ASSERT_TRUE(w.go(server->url("/a")));
  EXPECT_FALSE(w.engine->GoBack()) << "the first page has nothing behind it";
  ASSERT_TRUE(w.go(server->url("/b")));
  const auto step = [&](bool (BrowserEngine::*walk)(), const char* path) {
    EXPECT_TRUE(testsupport::load(w.engine->page(), [&] { EXPECT_TRUE((w.engine->*walk)()); }));
    EXPECT_EQ(w.engine->LocationURL(), server->url(path));
  };
  step(&BrowserEngine::GoBack, "/a");
  step(&BrowserEngine::GoForward, "/b");
  EXPECT_FALSE(w.engine->GoForward());
  const int before = server->requestCount("/b");
  EXPECT_TRUE(testsupport::load(w.engine->page(), [&] { w.engine->Refresh(); }));
  EXPECT_EQ(server->requestCount("/b"), before + 1);

  QSignalSpy finished(w.engine->page(), &QWebEnginePage::loadFinished);
  w.engine->Navigate(server->url("/slow"));
  ASSERT_TRUE(waitUntil([&] { return server->requestCount("/slow") > 0; }));
  w.engine->Stop();
  ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); })) << "Stop did not end the load";
  EXPECT_FALSE(finished.last()[0].toBool());
  EXPECT_EQ(w.engine->LocationURL(), server->url("/b"));
}

TEST_F(Engine, EventsFollowTheLoadAndEveryFrameCompletesOnce) {
  EngineWindow w;
  QSignalSpy titles(w.engine, &BrowserEngine::TitleChange);
  QSignalSpy status(w.engine, &BrowserEngine::StatusTextChange);
  QSignalSpy lock(w.engine, &BrowserEngine::SetSecureLockIcon);
  QSignalSpy done(w.engine, &BrowserEngine::DocumentComplete);
  QSignalSpy begin(w.engine, &BrowserEngine::DownloadBegin);
  QSignalSpy complete(w.engine, &BrowserEngine::DownloadComplete);
  ASSERT_TRUE(w.go(server->url("/frames")));
  ASSERT_TRUE(waitUntil([&] { return done.count() >= 3; }));
  w.js("1");  // anything late or doubled from the frames has arrived by now
  QStringList urls = firstArgs(done);
  urls.sort();
  EXPECT_EQ(urls, (QStringList{server->url("/b"), server->url("/fake"), server->url("/frames")}));
  EXPECT_EQ(firstArgs(titles).last(), "Frames");
  EXPECT_EQ(firstArgs(lock).last().toInt(), browser::securelock::Unsecure);
  EXPECT_FALSE(begin.isEmpty() || complete.isEmpty() || status.isEmpty());

  // Hovering a link puts its address in the status text; leaving it clears it.
  ASSERT_TRUE(w.go(server->url("/a")));
  const QVariantList at = w.js("var r = document.getElementById('l').getBoundingClientRect();"
                               "[r.left + r.width / 2, r.top + r.height / 2]")
                              .toList();
  ASSERT_EQ(at.size(), 2);
  QCursor::setPos(w.engine->widget()->mapToGlobal(QPoint(at[0].toInt(), at[1].toInt())));
  EXPECT_TRUE(waitUntil([&] { return firstArgs(status).contains(server->url("/b")); }));
  QCursor::setPos(w.engine->widget()->mapToGlobal(QPoint(700, 500)));
  EXPECT_TRUE(waitUntil([&] { return firstArgs(status).constLast().isEmpty(); }));
}

TEST_F(Engine, NewWindowsGoOnlyToAnotherEngineHandedBack) {
  EngineWindow opener;
  EngineWindow popup;
  EngineWindow tab;
  ASSERT_TRUE(opener.go(server->url("/a")));
  server->clearRequests();
  const auto handBack = [](BrowserEngine* engine) {
    return [engine](BrowserEngine** ppDisp, bool*) { *ppDisp = engine; };
  };
  // Refused, unanswered, or answered with the opener itself: nothing opens anywhere.
  const struct {
    std::function<void(BrowserEngine**, bool*)> answer;
    const char* script;
  } rows[] = {{[](BrowserEngine**, bool* cancel) { *cancel = true; }, "open('/b')"},
              {[](BrowserEngine**, bool*) {}, "open('/b')"},
              {handBack(opener.engine), "open('/b')"},
              {handBack(opener.engine), "document.getElementById('l').click()"},
              {handBack(popup.engine), "open('/b')"},
              {handBack(tab.engine), "document.getElementById('l').click()"}};
  for (const auto& row : rows) {
    const auto connection = QObject::connect(opener.engine, &BrowserEngine::NewWindow2, row.answer);
    opener.js(QString(row.script) + "; 1");
    QObject::disconnect(connection);
  }
  for (const EngineWindow* w : {&popup, &tab}) {
    EXPECT_TRUE(waitUntil([&] { return w->engine->LocationURL() == server->url("/b"); }));
  }
  EXPECT_EQ(server->requestCount("/b"), 2) << "only the engines handed back load";
  EXPECT_EQ(opener.engine->LocationURL(), server->url("/a"));
}

TEST_F(Engine, StartPageLoadsOnlyUnderItsExactAddressAndNothingFromDisk) {
  EngineWindow w;
  const QString home = browser::currentStartPageAddress();
  QSignalSpy done(w.engine, &BrowserEngine::DocumentComplete);
  ASSERT_TRUE(w.go(home));
  EXPECT_EQ(w.engine->LocationURL(), home);
  EXPECT_EQ(firstArgs(done), QStringList{home});
  EXPECT_EQ(w.js("document.title + document.querySelectorAll('p').length").toString(), "5");
  EXPECT_TRUE(w.js("[...document.querySelectorAll('p, a')].every(e => "
                   "getComputedStyle(e).color == 'rgb(128, 128, 128)')")
                  .toBool());
  EXPECT_TRUE(w.text().simplified().contains(
      "To restore the hidden Hushleaf Browser window, move the mouse cursor to the LOWER RIGHT "
      "portion of the screen."));
  // No script on it reaches past the one page.
  EXPECT_NE(w.js("var x = new XMLHttpRequest(); try { x.open('GET', 'page.htm/../../x', false);"
                 "x.send(); x.status } catch (e) { 0 }"),
            QVariant(200));
  // A decoy tree on disk that a careless handler could serve.
  QTemporaryDir dir;
  const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName() + ".exe";
  QDir(dir.path()).mkpath(exe);
  for (const QString& name : {QString("page.htm"), exe + "/page.htm"}) {
    QFile decoy(dir.filePath(name));
    ASSERT_TRUE(decoy.open(QIODevice::WriteOnly) && decoy.write("DECOY") == 5);
  }
  const QString prefix = "res://" + QCoreApplication::applicationDirPath() + "\\" + exe;
  for (const QString& address :
       {prefix + "/PAGE.HTM", prefix + "/../" + exe + "/page.htm",
        "res://" + dir.path() + "/page.htm", "res://" + dir.path() + "\\" + exe + "/page.htm",
        QString("res:///etc/passwd")}) {
    EXPECT_FALSE(w.go(address)) << address.toStdString();
    EXPECT_FALSE(w.text().contains("DECOY") || w.text().contains("root:")) << address.toStdString();
  }
}

// Cookies, local storage and IndexedDB leave nothing under a fresh HOME: the
// profile is off the record. A child process, so that start-up and exit writes count too.
TEST_F(Engine, StoragePagesLeaveNoFilesInAFreshHome) {
  testsupport::HttpResponse page;
  page.headers = {{"Set-Cookie", "kept=1; Max-Age=86400; Path=/"}};
  page.body =
      "<script>localStorage.setItem('k', 'v'.repeat(1000)); document.cookie = 'js=3; max-age=99';"
      "var req = indexedDB.open('db', 1);"
      "req.onupgradeneeded = () => req.result.createObjectStore('o');"
      "req.onsuccess = () => { var tx = req.result.transaction('o', 'readwrite');"
      "  tx.objectStore('o').put('v'.repeat(1000), 'key');"
      "  tx.oncomplete = () => document.title ="
      "    'report:' + document.cookie + ';' + localStorage.getItem('k').length;"
      "};</script>";
  server->setPage("/store", page);
  QTemporaryDir home;
  QTemporaryDir runtime;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  QProcess probe;
  probe.setProcessEnvironment(env);
  probe.start(HUSHLEAF_ENGINE_HOME_PROBE, {server->url("/store")});
  // The server lives in this process: its event loop turns while the probe runs.
  ASSERT_TRUE(waitUntil([&] { return probe.state() == QProcess::NotRunning; }, 45000));
  ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
  // The storage really happened, in memory.
  EXPECT_EQ(probe.readAllStandardOutput(), "report:kept=1; js=3;1000\n");
  QStringList written;
  for (QDirIterator it(home.path(),
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    written << it.next();
  }
  EXPECT_EQ(written, QStringList{}) << written.join(", ").toStdString();
}

}  // namespace
