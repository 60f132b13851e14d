// The web-engine backend as a user meets it: real pages from a local server, real dialogs,
// the real clipboard, files on disk, a fresh HOME.
#include "browser/start_page.h"
#include "browser/webengine_browser.h"
#include "support/engine_window.h"
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
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>

using browser::BrowserEngine;
using browser::PageCommand;
using testsupport::waitUntil;

namespace {

using testsupport::EngineWindow;

QStringList firstArgs(const QSignalSpy& spy) {
  QStringList values;
  for (const auto& args : spy) values << args.value(0).toString();
  return values;
}

class Engine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A",
                    "<link rel=stylesheet href='/s.css'><img src='/i.svg'><input id=i value='hello "
                    "world'><a id=l href='/b' target=_blank style='font-size:40px'>to b</a>");
    // The style sheet and the image of /a, and /slow, which never answers before Stop.
    server->setPage("/s.css", {200, "text/css", "p {}", {}});
    server->setPage("/i.svg",
                    {200, "image/svg+xml", "<svg xmlns='http://www.w3.org/2000/svg'/>", {}});
    server->setPage("/slow", {200, "text/html", "", {}, 600000});
    server->setPage("/b", "Page B", "<p>beta</p>");
    server->setPage("/frames", "Frames", "<iframe src='/b'></iframe><iframe src='/fake'></iframe>");
    // A frame that passes itself off as finished and tries to double its real report.
    server->setPage(
        "/fake", "Fake",
        "<script>var log = console.log.bind(console); console.log = m => log(m, m);"
        "var add = addEventListener.bind(window); addEventListener = (t, f) => add(t, f)"
        " + add(t, f); for (var i = 0; i < 20; ++i) log('hushleaf-frame-complete:' +"
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
  QString format;  // the file type picked there
  QStringList kinds;
  QStringList texts;  // what the dialogs showed
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    for (const QLabel* label : modal->findChildren<QLabel*>()) texts << label->text();
    if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) {
      texts << QString("%1 pages").arg(preview->pageCount());
    }
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files == nullptr || saveTo.isEmpty()) return testsupport::ModalWatcher::dismiss(modal);
    texts << files->selectedFiles();
    for (const QString& filter : files->nameFilters()) {
      if (filter.contains(format)) files->selectNameFilter(filter);
    }
    files->findChild<QLineEdit*>("fileNameEdit")->setText(saveTo);
    static_cast<QDialog*>(files)->accept();
  });
  // No printer and no file to print to: even "without asking" asks.
  w.engine->printer().setOutputFormat(QPrinter::PdfFormat);
  w.engine->printer().setOutputFileName({});
  const std::tuple<PageCommand, const char*, bool, QString, const char*> rows[] = {
      {PageCommand::Print, "QPrintDialog", false, {}, ""},
      {PageCommand::PrintWithoutAsking, "QPrintDialog", false, {}, ""},
      {PageCommand::PrintPreview, "QPrintPreviewDialog", true, {}, ""},
      {PageCommand::PageSetup, "QPageSetupDialog", false, {}, ""},
      {PageCommand::Properties, "QDialog", true, {}, ""},
      {PageCommand::SaveAs, "QFileDialog", false, {}, ""},
      {PageCommand::SaveAs, "QFileDialog", true, dir.filePath("only.htm"), "HTML only"},
      {PageCommand::SaveAs, "QFileDialog", true, dir.filePath("page.mht"), "single file"},
      {PageCommand::SaveAs, "QFileDialog", true, dir.filePath("saved.htm"), "complete"}};
  // One page is saved at a time: each save is waited for before the next.
  QPointer<QWebEngineDownloadRequest> saving;
  QObject::connect(w.engine->page()->profile(), &QWebEngineProfile::downloadRequested, &w.window,
                   [&](QWebEngineDownloadRequest* d) { saving = d; });
  // How the last command ended: -1 while it runs, else whether it was carried out.
  int ended = -1;
  QObject::connect(w.engine, &BrowserEngine::commandEnded, &w.window,
                   [&](PageCommand, bool done) { ended = done ? 1 : 0; });
  // A cancelled print dialog prints nothing; the preview paints without printing.
  QSignalSpy printedAsked(w.engine->view(), &QWebEngineView::printFinished);
  for (const auto& [command, dialog, done, typed, picked] : rows) {
    kinds.clear();
    saveTo = typed;
    format = QLatin1String(picked);
    ended = -1;
    EXPECT_TRUE(w.engine->run(command)) << dialog << picked;
    EXPECT_EVENTUALLY_EQ(ended, done ? 1 : 0) << dialog << picked;
    EXPECT_EQ(kinds.join("").toStdString(), dialog) << picked;
    if (!typed.isEmpty()) {
      EXPECT_EVENTUALLY_EQ(!saving.isNull() && saving->isFinished(), true) << picked;
      saving = nullptr;
    }
  }
  for (const QString& shown : {QString("1 pages"), server->url("/a"), QString("Page A")}) {
    EXPECT_TRUE(texts.contains(shown))
        << shown.toStdString() << " not in " << texts.join('|').toStdString();
  }
  EXPECT_TRUE(texts.last().endsWith("/Page A.htm")) << "the name suggested";
  // Saved complete: the page's links point at the copies of its style sheet and image.
  const auto saved = [&] {
    QFile html(dir.filePath("saved.htm"));
    return html.open(QIODevice::ReadOnly) ? html.readAll() : QByteArray();
  };
  EXPECT_EVENTUALLY_EQ(saved().contains("saved_files/"), true);
  EXPECT_TRUE(waitUntil(
      [&] { return QDir(dir.filePath("saved_files")).entryList(QDir::Files).size() == 2; }));
  // HTML only: the page's own file, its links as they were; the archive: one MIME file.
  const auto read = [&](const char* name) {
    QFile file(dir.filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  EXPECT_EVENTUALLY_EQ(read("only.htm").contains("href='/s.css'"), true)
      << read("only.htm").toStdString();
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("only_files")));
  EXPECT_EVENTUALLY_EQ(read("page.mht").contains("MIME-Version: 1.0"), true);

  EXPECT_EQ(printedAsked.count(), 1) << "only the preview's";
  // Given a file, printing without asking writes it, one print at a time.
  w.engine->printer().setOutputFileName(dir.filePath("out.pdf"));
  QSignalSpy printed(w.engine->view(), &QWebEngineView::printFinished);
  ended = -1;
  ASSERT_TRUE(w.engine->run(PageCommand::PrintWithoutAsking));
  EXPECT_FALSE(w.engine->run(PageCommand::PrintWithoutAsking));
  ASSERT_EVENTUALLY_EQ(printed.count(), 1, 30000);
  EXPECT_EQ(ended, 1);
  QFile pdf(dir.filePath("out.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray printedPdf = pdf.readAll();
  EXPECT_TRUE(printedPdf.startsWith("%PDF-"));
  // The engine draws each page as an image at the printer's resolution: at 300 dpi, not
  // the 1200 that made a long page's preview take most of a minute and gigabytes.
  int widest = 0;
  for (const auto& width : QRegularExpression(QStringLiteral(R"(/Width (\d+))"))
                               .globalMatch(QString::fromLatin1(printedPdf))) {
    widest = std::max(widest, width.captured(1).toInt());
  }
  EXPECT_GT(widest, 0);
  EXPECT_LE(widest, 9 * browser::WebEngineBrowser::kPrintDotsPerInch);
  EXPECT_EQ(watcher.seen(), 9) << "printing without asking showed a dialog";
}

// Qt's printFinished never comes for a page whose process ends meanwhile. The end is
// announced here without killing the process (a kill mid-print brings Qt 6.4 itself
// down), so the real print still arrives afterwards.
TEST_F(Engine, APrintOrAPreviewEndsWhenThePagesProcessEndsFirst) {
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/b")));
  QWebEngineView* view = w.engine->view();
  QWebEnginePage* page = view->page();
  const auto processEnds = [page] {
    emit page->renderProcessTerminated(QWebEnginePage::CrashedTerminationStatus, 11);
  };
  QTemporaryDir dir;
  w.engine->printer().setOutputFormat(QPrinter::PdfFormat);
  w.engine->printer().setOutputFileName(dir.filePath("out.pdf"));
  int ended = -1;
  QObject::connect(w.engine, &BrowserEngine::commandEnded, view,
                   [&](PageCommand, bool done) { ended = done ? 1 : 0; });
  QSignalSpy printed(view, &QWebEngineView::printFinished);
  ASSERT_TRUE(w.engine->run(PageCommand::PrintWithoutAsking));
  processEnds();
  EXPECT_EQ(ended, 0) << "the print still runs";
  ASSERT_EVENTUALLY_EQ(printed.count(), 1, 30000);  // before its printer goes
  // The preview's wait for its pages.
  bool gaveUp = false;
  QTimer::singleShot(0, page, processEnds);
  QTimer::singleShot(10000, view, [&] {
    gaveUp = true;
    emit view->printFinished(false);
  });
  browser::waitForPrint(*view);
  EXPECT_FALSE(gaveUp);
}

TEST_F(Engine, EditCommandsAndTextSizesWorkOnThePage) {
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/a")));
  w.js("document.getElementById('i').focus()");
  QClipboard* clipboard = QGuiApplication::clipboard();
  using Action = QWebEnginePage::WebAction;
  const std::tuple<std::vector<Action>, const char*, const char*, const char*> rows[] = {
      {{QWebEnginePage::SelectAll, QWebEnginePage::Copy}, "-", "hello world", "hello world"},
      {{QWebEnginePage::SelectAll, QWebEnginePage::Cut}, "-", "hello world", ""},
      {{QWebEnginePage::Paste}, "pasted", "pasted", "pasted"},
      {{QWebEnginePage::Undo}, "pasted", "pasted", ""}};
  for (const auto& [actions, before, copied, value] : rows) {
    clipboard->setText(before);
    for (const Action action : actions) {
      w.engine->triggerAction(action);
    }
    EXPECT_TRUE(waitUntil([&, copied = copied, value = value] {
      return clipboard->text() == copied && w.js("i.value").toString() == value;
    })) << value;
  }
  // Text sizes: each level larger than the one before, Medium at 100 %, the last one kept
  // for the next page.
  double factor = 0;
  for (int level = 0; level < 5; ++level) {
    ASSERT_TRUE(w.engine->setTextSize(level));
    EXPECT_GT(w.engine->view()->zoomFactor(), factor) << level;
    factor = w.engine->view()->zoomFactor();
  }
  ASSERT_TRUE(w.engine->setTextSize(2));
  EXPECT_DOUBLE_EQ(w.engine->view()->zoomFactor(), 1.0);
  ASSERT_TRUE(w.engine->setTextSize(4));
  for (const int bad : {-1, 5}) {
    EXPECT_FALSE(w.engine->setTextSize(bad)) << bad;
  }
  ASSERT_TRUE(w.go(browser::currentStartPageAddress()));  // another host
  EXPECT_EQ(w.engine->textSize(), 4);
  EXPECT_DOUBLE_EQ(w.js("devicePixelRatio").toDouble(), factor) << "the page is drawn at it";
}

TEST_F(Engine, SilentSuppressesScriptDialogsAndThePagesPrint) {
  EngineWindow w;
  QStringList kinds;
  testsupport::ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return box->button(QMessageBox::Ok)->click();
    auto* dialog = static_cast<QDialog*>(modal);
    kinds.last() == "QPrintDialog" ? dialog->reject() : dialog->accept();
  });
  w.engine->setSilent(true);
  ASSERT_TRUE(w.go(server->url("/dialogs")));
  EXPECT_EQ(w.js("JSON.stringify(r)").toString(), R"(["undefined",false,null])");
  EXPECT_EQ(kinds, QStringList{});
  w.engine->setSilent(false);
  // A page's dialogs wait for their window to be the active one; the user keeps it so.
  QTimer activate;
  QObject::connect(&activate, &QTimer::timeout, &w.window, [&w] {
    if (!w.window.isActiveWindow()) {
      w.window.activateWindow();
    }
  });
  activate.start(50);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
  ASSERT_TRUE(w.go(server->url("/dialogs")));
  EXPECT_EQ(w.js("JSON.stringify(r)").toString(), R"(["undefined",true,"d"])");
  ASSERT_EVENTUALLY_EQ(kinds.size(), 4);
  EXPECT_EQ(kinds.last(), "QPrintDialog");
}

TEST_F(Engine, OfflineBlocksTheNetworkButNotLocalPages) {
  EngineWindow w;
  QTemporaryDir dir;
  QFile local(dir.filePath("local.htm"));
  // A local page that opens a WebSocket to the server, which only has to see it asked,
  // and a WebRTC connection through a TURN server, which only has to be connected to.
  QTcpServer turn;
  ASSERT_TRUE(turn.listen(QHostAddress::LocalHost));
  int turnConnections = 0;
  QObject::connect(&turn, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* c = turn.nextPendingConnection()) {
      ++turnConnections;
      c->deleteLater();
    }
  });
  const QByteArray socket =
      "<title>Local</title><script>var s = new WebSocket('ws://127.0.0.1:" +
      QByteArray::number(server->port()) +
      "/ws'); s.onerror = s.onclose = () => window.ended = true;"
      "try { var pc = new RTCPeerConnection({iceServers: [{urls: 'turn:127.0.0.1:" +
      QByteArray::number(turn.serverPort()) +
      "?transport=tcp', username: 'u', credential: 'p'}]}); pc.createDataChannel('d');"
      "pc.createOffer().then(o => pc.setLocalDescription(o)); window.rtc = 'made';"
      "} catch (e) { window.rtc = 'none'; }</script>";
  ASSERT_TRUE(local.open(QIODevice::WriteOnly) && local.write(socket) > 0);
  local.close();
  const auto socketEnded = [&] { return w.js("window.ended === true").toBool(); };
  w.engine->setOffline(true);
  server->clearRequests();  // stragglers of earlier pages may still come; /b is asked for here only
  EXPECT_FALSE(w.go(server->url("/b")));
  EXPECT_TRUE(w.go(browser::currentStartPageAddress()));
  EXPECT_TRUE(w.go(QUrl::fromLocalFile(local.fileName()).toString()));
  EXPECT_EQ(w.engine->title(), "Local");
  EXPECT_TRUE(testsupport::waitUntil(socketEnded));
  EXPECT_EQ(server->requestCount("/b"), 0) << "an offline load reached the server";
  EXPECT_EQ(server->requestCount("/ws"), 0) << "an offline WebSocket reached the server";
  EXPECT_EQ(w.js("window.rtc").toString(), "none");
  EXPECT_EQ(turnConnections, 0) << "an offline WebRTC connection was made";
  w.engine->setOffline(false);
  EXPECT_TRUE(w.go(server->url("/b")));
  EXPECT_EQ(server->requestCount("/b"), 1);
  EXPECT_TRUE(w.go(QUrl::fromLocalFile(local.fileName()).toString()));
  EXPECT_TRUE(testsupport::waitUntil(socketEnded));
  EXPECT_EQ(server->requestCount("/ws"), 1) << "online, the same WebSocket is asked for";
  EXPECT_EVENTUALLY_EQ(turnConnections > 0, true) << "online, the same WebRTC connection";
  w.engine->setOffline(true);  // the page shown loses it too
  EXPECT_EVENTUALLY_EQ(w.js("typeof RTCPeerConnection").toString(), "undefined");
}

TEST_F(Engine, HistoryNeedsPagesAndStopEndsASlowLoad) {
  EngineWindow w;
  EXPECT_FALSE(w.engine->back() || w.engine->forward());
  ASSERT_TRUE(w.go(server->url("/a")));
  EXPECT_FALSE(w.engine->back()) << "the first page has nothing behind it";
  ASSERT_TRUE(w.go(server->url("/b")));
  QSignalSpy finished(w.engine->page(), &QWebEnginePage::loadFinished);
  w.engine->load(server->url("/slow"));
  ASSERT_EVENTUALLY_EQ(server->requestCount("/slow") > 0, true);
  w.engine->stop();
  ASSERT_EVENTUALLY_EQ(finished.count(), 1) << "Stop did not end the load";
  EXPECT_FALSE(finished.last()[0].toBool());
  EXPECT_EQ(w.engine->url(), server->url("/b"));
  EXPECT_FALSE(w.engine->forward());
}

TEST_F(Engine, EveryFrameCompletesOnceAndHoveringALinkShowsItsAddress) {
  EngineWindow w;
  QSignalSpy status(w.engine, &BrowserEngine::statusTextChanged);
  QSignalSpy done(w.engine, &BrowserEngine::loadFinished);
  ASSERT_TRUE(w.go(server->url("/frames")));
  ASSERT_EVENTUALLY_EQ(done.count() >= 3, true);
  w.js("1");  // anything late or doubled from the frames has arrived by now
  QStringList urls = firstArgs(done);
  urls.sort();
  EXPECT_EQ(urls, (QStringList{server->url("/b"), server->url("/fake"), server->url("/frames")}));

  // Hovering a link puts its address in the status text; leaving it clears it.
  ASSERT_TRUE(w.go(server->url("/a")));
  const QVariantList at = w.js("var r = l.getBoundingClientRect(); [r.x + 9, r.y + 9]").toList();
  ASSERT_EQ(at.size(), 2);
  const double zoom = w.engine->view()->zoomFactor();  // another test may have left one
  QCursor::setPos(w.engine->widget()->mapToGlobal(
      QPoint(qRound(at[0].toDouble() * zoom), qRound(at[1].toDouble() * zoom))));
  EXPECT_EVENTUALLY_EQ(firstArgs(status).contains(server->url("/b")), true);
  QCursor::setPos(w.engine->widget()->mapToGlobal(QPoint(700, 500)));
  EXPECT_EVENTUALLY_EQ(firstArgs(status).constLast(), QString());
}

TEST_F(Engine, NewWindowsGoOnlyToAnotherEngineHandedBack) {
  EngineWindow opener;
  EngineWindow popup;
  EngineWindow tab;
  ASSERT_TRUE(opener.go(server->url("/a")));
  opener.engine->page()->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows,
                                                  true);
  server->clearRequests();
  const auto handBack = [](BrowserEngine* engine) {
    return [engine](BrowserEngine** ppDisp, bool*) { *ppDisp = engine; };
  };
  // Refused, unanswered, or answered with the opener itself: nothing opens anywhere.
  const std::pair<std::function<void(BrowserEngine**, bool*)>, const char*> rows[] = {
      {[&](BrowserEngine** ppDisp, bool* cancel) {
         *ppDisp = popup.engine;  // and yet refused
         *cancel = true;
       },
       "open('/b')"},
      {[](BrowserEngine**, bool*) {}, "open('/b')"},
      {handBack(opener.engine), "open('/b')"},
      {handBack(opener.engine), "l.click()"},
      {handBack(popup.engine), "open('/b')"},
      {handBack(tab.engine), "l.click()"}};
  for (const auto& [answer, script] : rows) {
    const auto connection =
        QObject::connect(opener.engine, &BrowserEngine::newWindowRequested, answer);
    opener.js(QString(script) + "; 1");
    QObject::disconnect(connection);
  }
  for (const EngineWindow* w : {&popup, &tab}) {
    EXPECT_EVENTUALLY_EQ(w->engine->url(), server->url("/b"));
  }
  EXPECT_EQ(server->requestCount("/b"), 2) << "only the engines handed back load";
  EXPECT_EQ(opener.engine->url(), server->url("/a"));
}

TEST_F(Engine, StartPageLoadsOnlyUnderItsExactAddressAndNothingFromDisk) {
  EngineWindow w;
  const QString home = browser::currentStartPageAddress();
  QSignalSpy done(w.engine, &BrowserEngine::loadFinished);
  ASSERT_TRUE(w.go(home));
  EXPECT_EQ(w.engine->url(), home);
  EXPECT_EQ(firstArgs(done), QStringList{home});
  EXPECT_EQ(w.js("document.title + document.querySelectorAll('p').length").toString(), "5");
  EXPECT_TRUE(w.js("[...document.querySelectorAll('p, a')].every(e => "
                   "getComputedStyle(e).color == 'rgb(128, 128, 128)')")
                  .toBool());
  // A decoy beside the program and in a folder of its own that a careless handler could serve.
  QTemporaryDir dir;
  const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName() + ".exe";
  QDir(dir.path()).mkpath(exe);
  QFile decoy(dir.filePath(exe + "/page.htm"));
  ASSERT_TRUE(decoy.open(QIODevice::WriteOnly) && decoy.write("DECOY") == 5);
  decoy.close();
  for (const QString& address :
       {home.chopped(8) + "PAGE.HTM", home.chopped(8) + "../" + exe + "/page.htm",
        "res://" + dir.path() + "\\" + exe + "/page.htm", "res://" + decoy.fileName(),
        QString("res:///etc/passwd")}) {
    EXPECT_FALSE(w.go(address)) << address.toStdString();
    EXPECT_FALSE(w.text().contains("DECOY") || w.text().contains("root:")) << address.toStdString();
  }
}

// Cookies, local storage and IndexedDB leave nothing under a fresh HOME: the profile is off
// the record. A child process, so that start-up and exit writes count too.
TEST_F(Engine, AHiddenPageIsFrozenAndWhatPlayedPlaysOnOnceBack) {
  // A second of silence, made by the page, played in a loop.
  server->setPage(
      "/media", "Media",
      "<video loop muted></video><script>"
      "const n = 8000, b = new ArrayBuffer(44 + n), v = new DataView(b);"
      "const s = (o, t) => [...t].forEach((c, i) => v.setUint8(o + i, c.charCodeAt(0)));"
      "s(0, 'RIFF'); v.setUint32(4, 36 + n, true); s(8, 'WAVEfmt ');"
      "v.setUint32(16, 16, true); v.setUint16(20, 1, true); v.setUint16(22, 1, true);"
      "v.setUint32(24, 8000, true); v.setUint32(28, 8000, true);"
      "v.setUint16(32, 1, true); v.setUint16(34, 8, true);"
      "s(36, 'data'); v.setUint32(40, n, true); new Uint8Array(b, 44).fill(128);"
      "const a = document.querySelector('video');"
      "a.src = URL.createObjectURL(new Blob([b], {type: 'audio/wav'})); a.play();"
      "</script>");
  EngineWindow w;
  ASSERT_TRUE(w.go(server->url("/media")));
  const auto playing = [&] { return !w.js("document.querySelector('video').paused").toBool(); };
  ASSERT_EVENTUALLY_EQ(playing(), true);
  w.window.hide();
  w.engine->setPageHidden(true);
  ASSERT_EVENTUALLY_EQ(w.engine->page()->lifecycleState(), QWebEnginePage::LifecycleState::Frozen);
  w.window.show();
  w.engine->setPageHidden(false);
  EXPECT_EVENTUALLY_EQ(playing(), true) << "what played before the hide plays on";
}

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
      "    'report:' + document.cookie + ';' + localStorage.getItem('k').length; };</script>";
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
  ASSERT_EVENTUALLY_EQ(probe.state(), QProcess::NotRunning, 45000);
  ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
  EXPECT_EQ(probe.readAllStandardOutput(), "report:kept=1; js=3;1000\n") << "stored, in memory";
  QStringList written;
  for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    written << it.next();
  }
  EXPECT_EQ(written, QStringList{}) << written.join(", ").toStdString();
}

}  // namespace
