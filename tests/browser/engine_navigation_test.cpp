// The engine's navigation, properties and events against real pages from a local server.
#include "browser/browser_engine.h"
#include "browser/engine_test_support.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QCursor>
#include <QSignalSpy>
#include <QWebEngineView>

using enginetest::EngineWindow;
using enginetest::load;
using enginetest::runJs;
using testsupport::pump;
using testsupport::waitUntil;

namespace {

QStringList urlsOf(const QSignalSpy& spy) {
  QStringList urls;
  for (const auto& args : spy) {
    urls << args.value(0).toString();
  }
  return urls;
}

class EngineNavigation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage("/a", "Page A",
                    "<p>alpha</p><a id=l href='/b' style='font-size:40px'>to b</a>");
    server->setPage("/b", "Page B", "<p>beta</p>");
    server->setPage("/frames", "Frames",
                    "<iframe src='/frame1'></iframe><iframe src='/frame2'></iframe>");
    server->setPage("/frame1", "F1", "<p>one</p>");
    // A frame that tries to pass itself off as finished, and to make the real report twice.
    server->setPage("/frame2", "F2",
                    "<script>"
                    "var orig = console.log.bind(console);"
                    "console.log = function (m) { orig(m); orig(m); };"
                    "var add = window.addEventListener.bind(window);"
                    "window.addEventListener = function (t, f, o) { add(t, f, o); add(t, f, o); };"
                    "for (var i = 0; i < 20; ++i) {"
                    "  orig('hushleaf-frame-complete:' + i.toString(16).padStart(16, '0') + ':x');"
                    "  orig('hushleaf-frame-complete:' + location.href);"
                    "}"
                    "</script><p>two</p>");
    server->setPage("/fake-top", "Fake",
                    "<script>console.log('hushleaf-frame-complete:0000000000000000:http://x/');"
                    "console.log('hushleaf-frame-complete:');</script>");
    testsupport::HttpResponse slow;
    slow.body = testsupport::htmlPage("Slow", "<p>late</p>").toUtf8();
    slow.delayMs = 8000;
    server->setPage("/slow", slow);
    server->setPage("/opener", "Opener",
                    "<a id=blank target=_blank href='/b'>new</a>"
                    "<script>function openIt() { window.w = window.open('/b'); "
                    "return window.w === null; }</script>");
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  static testsupport::HttpServer* server;
};

testsupport::HttpServer* EngineNavigation::server = nullptr;

TEST_F(EngineNavigation, HistoryNeedsPagesAndWalksBothWays) {
  EngineWindow w;
  EXPECT_FALSE(w.engine->GoBack());
  EXPECT_FALSE(w.engine->GoForward());
  EXPECT_FALSE(w.engine->invoke(browser::DispId::GoBack));

  ASSERT_TRUE(load(w.engine, server->url("/a")));
  EXPECT_EQ(w.engine->LocationURL(), server->url("/a"));
  EXPECT_EQ(w.engine->LocationName(), "Page A");
  EXPECT_FALSE(w.engine->GoBack()) << "the first page has nothing behind it";

  ASSERT_TRUE(load(w.engine, server->url("/b")));
  EXPECT_FALSE(w.engine->GoForward());

  QSignalSpy done(w.engine, &browser::BrowserEngine::DocumentComplete);
  EXPECT_TRUE(w.engine->GoBack());
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(w.engine->LocationURL(), server->url("/a"));
  EXPECT_EQ(w.engine->LocationName(), "Page A");

  done.clear();
  EXPECT_TRUE(w.engine->invoke(browser::DispId::GoForward));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(w.engine->LocationURL(), server->url("/b"));
  EXPECT_FALSE(w.engine->GoForward());
}

TEST_F(EngineNavigation, RefreshFetchesAgainAndStopEndsASlowLoad) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/b")));
  const int before = server->requestCount("/b");
  QSignalSpy done(w.engine, &browser::BrowserEngine::DocumentComplete);
  w.engine->Refresh();
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  EXPECT_EQ(server->requestCount("/b"), before + 1);
  EXPECT_EQ(w.engine->LocationURL(), server->url("/b"));

  QSignalSpy finished(w.page(), &QWebEnginePage::loadFinished);
  w.engine->Navigate(server->url("/slow"));
  ASSERT_TRUE(waitUntil([&] { return server->requestCount("/slow") > 0; }));
  QElapsedTimer clock;
  clock.start();
  w.engine->Stop();
  ASSERT_TRUE(waitUntil([&] { return finished.count() > 0; }, 5000));
  EXPECT_LT(clock.elapsed(), 4000) << "Stop did not end the load";
  EXPECT_FALSE(finished.last().value(0).toBool());
  // The slow page never replaced the one shown.
  EXPECT_NE(runJs(w.page(), "document.body.innerText").toString().trimmed(), "late");
}

TEST_F(EngineNavigation, EventsFollowTheLoad) {
  EngineWindow w;
  QSignalSpy titles(w.engine, &browser::BrowserEngine::TitleChange);
  QSignalSpy status(w.engine, &browser::BrowserEngine::StatusTextChange);
  QSignalSpy lock(w.engine, &browser::BrowserEngine::SetSecureLockIcon);
  QSignalSpy done(w.engine, &browser::BrowserEngine::DocumentComplete);
  QSignalSpy begin(w.engine, &browser::BrowserEngine::DownloadBegin);
  QSignalSpy complete(w.engine, &browser::BrowserEngine::DownloadComplete);
  ASSERT_TRUE(load(w.engine, server->url("/a")));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));

  EXPECT_TRUE(urlsOf(titles).contains("Page A")) << urlsOf(titles).join('|').toStdString();
  EXPECT_EQ(urlsOf(titles).last(), "Page A");
  ASSERT_FALSE(lock.isEmpty());
  EXPECT_EQ(lock.last().value(0).toInt(), browser::securelock::Unsecure);
  EXPECT_EQ(done.count(), 1);
  EXPECT_EQ(done.first().value(0).toString(), server->url("/a"));
  EXPECT_GE(begin.count(), 1);
  EXPECT_GE(complete.count(), 1);
  EXPECT_FALSE(status.isEmpty());

  // Hovering a link puts its address in the status text; leaving it clears it.
  status.clear();
  const QVariantList rect = runJs(w.page(),
                                  "var r = document.getElementById('l').getBoundingClientRect();"
                                  "[r.left + r.width / 2, r.top + r.height / 2]")
                                .toList();
  ASSERT_EQ(rect.size(), 2);
  QWidget* view = w.engine->widget();
  const QPoint onLink(static_cast<int>(rect[0].toDouble()), static_cast<int>(rect[1].toDouble()));
  QCursor::setPos(view->mapToGlobal(onLink + QPoint(0, 5)));
  pump(50);
  QCursor::setPos(view->mapToGlobal(onLink));
  ASSERT_TRUE(waitUntil([&] { return urlsOf(status).contains(server->url("/b")); }, 5000))
      << urlsOf(status).join('|').toStdString();
  QCursor::setPos(view->mapToGlobal(QPoint(700, 500)));
  EXPECT_TRUE(waitUntil(
      [&] { return !status.isEmpty() && status.last().value(0).toString().isEmpty(); }, 5000));
}

TEST_F(EngineNavigation, EveryFrameCompletesOnceAndPagesCannotFakeIt) {
  EngineWindow w;
  QSignalSpy done(w.engine, &browser::BrowserEngine::DocumentComplete);
  ASSERT_TRUE(load(w.engine, server->url("/frames")));
  ASSERT_TRUE(waitUntil([&] { return done.count() >= 3; }));
  pump(500);  // anything late or doubled would arrive now
  QStringList urls = urlsOf(done);
  urls.sort();
  const QStringList expected = {server->url("/frame1"), server->url("/frame2"),
                                server->url("/frames")};
  EXPECT_EQ(urls, expected);

  done.clear();
  ASSERT_TRUE(load(w.engine, server->url("/fake-top")));
  pump(300);
  EXPECT_EQ(urlsOf(done), QStringList{server->url("/fake-top")});
}

TEST_F(EngineNavigation, NewWindowGoesToTheEngineTheHostHandsBack) {
  EngineWindow opener;
  EngineWindow target;
  ASSERT_TRUE(load(opener.engine, server->url("/opener")));

  int asked = 0;
  auto connection = QObject::connect(opener.engine, &browser::BrowserEngine::NewWindow2,
                                     [&](browser::BrowserEngine** ppDisp, bool* /*Cancel*/) {
                                       ++asked;
                                       *ppDisp = target.engine;
                                     });
  QSignalSpy targetDone(target.engine, &browser::BrowserEngine::DocumentComplete);
  EXPECT_FALSE(runJs(opener.page(), "openIt()").toBool()) << "window.open gave no window";
  ASSERT_TRUE(waitUntil([&] { return targetDone.count() > 0; }));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(target.engine->LocationURL(), server->url("/b"));
  EXPECT_EQ(opener.engine->LocationURL(), server->url("/opener"));

  // A target=_blank link lands in the next engine handed back.
  EngineWindow second;
  QObject::disconnect(connection);
  connection = QObject::connect(opener.engine, &browser::BrowserEngine::NewWindow2,
                                [&](browser::BrowserEngine** ppDisp, bool*) {
                                  ++asked;
                                  *ppDisp = second.engine;
                                });
  QSignalSpy secondDone(second.engine, &browser::BrowserEngine::DocumentComplete);
  runJs(opener.page(), "document.getElementById('blank').click()");
  ASSERT_TRUE(waitUntil([&] { return secondDone.count() > 0; }));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(second.engine->LocationURL(), server->url("/b"));
  QObject::disconnect(connection);
}

TEST_F(EngineNavigation, RefusedOrUnansweredNewWindowOpensNothing) {
  EngineWindow opener;
  ASSERT_TRUE(load(opener.engine, server->url("/opener")));
  server->clearRequests();

  auto connection =
      QObject::connect(opener.engine, &browser::BrowserEngine::NewWindow2,
                       [](browser::BrowserEngine**, bool* Cancel) { *Cancel = true; });
  // The page's window.open has returned before the host is asked, so only the absence of
  // any load shows the refusal.
  runJs(opener.page(), "openIt()");
  QObject::disconnect(connection);

  // Nobody answers; and an engine handed back as its own new window is refused too.
  runJs(opener.page(), "openIt()");
  connection =
      QObject::connect(opener.engine, &browser::BrowserEngine::NewWindow2,
                       [&](browser::BrowserEngine** ppDisp, bool*) { *ppDisp = opener.engine; });
  runJs(opener.page(), "openIt()");
  runJs(opener.page(), "document.getElementById('blank').click()");
  QObject::disconnect(connection);

  pump(500);
  EXPECT_EQ(server->requestCount("/b"), 0);
  EXPECT_EQ(opener.engine->LocationURL(), server->url("/opener"));
  EXPECT_EQ(runJs(opener.page(), "1 + 1").toInt(), 2) << "the opener still works";
}

TEST_F(EngineNavigation, BadAddressesNeverCrash) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/a")));
  w.engine->setSilent(true);
  const QString huge = "http://127.0.0.1/" + QString(100 * 1024, QLatin1Char('x'));
  const QStringList inputs = {
      "",
      "   \t\n ",
      "%%%^^^ garbage \x01\x7f <>",
      "::::",
      "http://",
      "http://[::1",
      "res:",
      "file:",
      huge,
      QString(100 * 1024, QLatin1Char('a')),
      "javascript:",
      "javascript:alert(1)",
      "javascript:document.title='hijack'",
      "javascript:" + QString(100 * 1024, QLatin1Char(' ')) + "1",
      QString::fromUtf8("http://\xe2\x98\x83.invalid/\xf0\x9f\x98\x80"),
  };
  for (const QString& input : inputs) {
    w.engine->Navigate(input);
    pump(150);
    (void)w.engine->LocationURL();
    (void)w.engine->LocationName();
  }
  pump(500);
  ASSERT_TRUE(load(w.engine, server->url("/b"))) << "the engine still loads pages";
  EXPECT_EQ(w.engine->LocationName(), "Page B");
}

}  // namespace
