// The one end-to-end run of the real executable: a private X server with a window manager
// and a compositor, driven only from outside with XTest (xdotool) and controls found over
// AT-SPI, observed with xprop/xwininfo; screenshots in build/journey/.
#include "support/http_server.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

using testsupport::pump;
using testsupport::waitUntil;

namespace {

QString sh(const QString& command) {
  QProcess p;
  p.start("bash", {"-c", command});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void shot(const QString& name) {
  QDir().mkpath(QStringLiteral(HUSHLEAF_JOURNEY_DIR));
  sh(QStringLiteral("import -window root '%1/%2.png'")
         .arg(QStringLiteral(HUSHLEAF_JOURNEY_DIR), name));
}

class Journey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    m_compositor.start("xcompmgr", {});
    startAccessibilityBus();
    // Pages that store what they can: cookies, local storage, IndexedDB, read back in the
    // same run (the title says so). None of it may reach the disk.
    testsupport::HttpResponse a;
    a.headers = {{"Set-Cookie", "kept=1; Max-Age=86400; Path=/"}};
    a.body = testsupport::htmlPage("Page A", "<h1>alpha</h1>").toUtf8();
    server.setPage("/a", a);
    server.setPage(
        "/b", "Page B",
        QStringLiteral("<h1>beta</h1><script>"
                       "localStorage.setItem('k', 'v'.repeat(1000));"
                       "document.cookie = 'script=3; max-age=86400';"
                       "var r = indexedDB.open('db', 1);"
                       "r.onupgradeneeded = function () { r.result.createObjectStore('o'); };"
                       "r.onsuccess = function () {"
                       "  var t = r.result.transaction('o', 'readwrite');"
                       "  t.objectStore('o').put('x', 'k');"
                       "  t.oncomplete = function () {"
                       "    r.result.transaction('o').objectStore('o').get('k').onsuccess ="
                       "      function (e) {"
                       "        if (e.target.result == 'x' &&"
                       "            localStorage.getItem('k').length == 1000 &&"
                       "            /kept=1/.test(document.cookie) &&"
                       "            /script=3/.test(document.cookie)) document.title += ' stored';"
                       "      };"
                       "  };"
                       "};</script>"));
    // Standing in for a proxy too: what it is asked for with a full address.
    server.setPage("http://journey.example/", "Via Proxy", "<h1>proxied</h1>");
    server.setPage("/fav", "Favourite", "<h1>fav</h1>");
  }
  void TearDown() override {
    if (m_browser.state() != QProcess::NotRunning) {
      m_browser.kill();
      m_browser.waitForFinished(5000);
    }
    m_compositor.kill();
    m_compositor.waitForFinished(2000);
    // Asked first, so the launcher takes its accessibility bus down with it.
    for (QProcess* p : {&m_a11yLauncher, &m_sessionBus}) {
      p->terminate();
      if (!p->waitForFinished(3000)) {
        p->kill();
        p->waitForFinished(2000);
      }
    }
  }

  // A session bus of our own with the accessibility bus on it, so that controls can be
  // found by name as a screen reader finds them.
  void startAccessibilityBus() {
    // Their sockets and state live outside HOME, which must hold only what the program
    // writes.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", m_busRuntime.path());
    m_sessionBus.setProcessEnvironment(env);
    // A session bus that activates nothing: no service installed on the machine starts.
    QFile config(m_busRuntime.filePath("bus.conf"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                "<auth>EXTERNAL</auth><policy context='default'>"
                                "<allow send_destination='*' eavesdrop='true'/>"
                                "<allow eavesdrop='true'/><allow own='*'/></policy></busconfig>")
                     .arg(m_busRuntime.path())
                     .toUtf8());
    config.close();
    m_sessionBus.start("dbus-daemon",
                       {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
    ASSERT_TRUE(m_sessionBus.waitForStarted());
    ASSERT_EVENTUALLY_EQ(m_sessionBus.canReadLine(), true, 5000);
    const QByteArray address = m_sessionBus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    // The launcher registers on this bus, not on one from before it.
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLatin1(address));
    m_a11yLauncher.setProcessEnvironment(env);
    m_a11yLauncher.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
    ASSERT_TRUE(m_a11yLauncher.waitForStarted());
    pump(500);
  }

  void start() {
    m_browser.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    m_browser.setProcessEnvironment(env);
    // The suites run as root, where the program starts only without its sandbox.
    m_browser.start(QStringLiteral(HUSHLEAF_EXE), {"--ignored-argument", "--no-sandbox"});
    ASSERT_TRUE(m_browser.waitForStarted());
  }

  // The top-level client window of the program whose name matches.
  QString windowNamed(const QString& pattern, int timeoutMs = 20000) {
    QString wid;
    waitUntil(
        [&] {
          wid = sh(QStringLiteral("xdotool search --onlyvisible --name '%1' 2>/dev/null | tail -1")
                       .arg(pattern));
          return !wid.isEmpty();
        },
        timeoutMs);
    return wid;
  }
  QString name(const QString& wid) {
    return sh(QStringLiteral("xdotool getwindowname %1").arg(wid));
  }
  bool mapped(const QString& wid) {
    return sh(QStringLiteral("xwininfo -id %1 | grep 'Map State'").arg(wid)).contains("IsViewable");
  }
  // Clicks the control with this role and accessible name in window wid, found as a
  // screen reader finds it.
  void click(const QString& wid, const QString& role, const QString& accessibleName) {
    // xwininfo's absolute corner is the client area's, below the frame's title bar.
    const QString info = sh(QStringLiteral("xwininfo -id %1").arg(wid));
    const auto corner = [&](const char* axis) {
      return QRegularExpression(QStringLiteral("Absolute upper-left %1:\\s+(-?\\d+)").arg(axis))
          .match(info)
          .captured(1);
    };
    const QStringList at = sh(QStringLiteral("/usr/bin/python3 '%1' %2 %3 %4 '%5' '%6' 30")
                                  .arg(QStringLiteral(HUSHLEAF_A11Y_FIND))
                                  .arg(m_browser.processId())
                                  .arg(corner("X"), corner("Y"), role, accessibleName))
                               .split(QLatin1Char(' '));
    ASSERT_EQ(at.size(), 6) << "no " << role.toStdString() << " named "
                            << accessibleName.toStdString();
    testsupport::x::moveMouse({at[0].toInt(), at[1].toInt()});
    testsupport::x::click();
    pump(200);
  }
  // Into the address box, replacing what it holds, then Enter.
  void enterAddress(const QString& wid, const QString& text) {
    click(wid, "text", "Address");
    keys("End shift+Home");
    type(text);
    keys("Return");
  }
  void keys(const QString& sequence) {
    sh(QStringLiteral("xdotool key --delay 60 %1").arg(sequence));
    pump(200);
  }
  void type(const QString& text) {
    sh(QStringLiteral("xdotool type --delay 20 '%1'").arg(text));
    pump(200);
  }
  bool titleBecomes(const QString& wid, const QString& title, int timeoutMs = 15000) {
    const bool ok = waitUntil([&] { return name(wid) == title; }, timeoutMs);
    pump(500);  // the document finishes (and the box takes its history) after the title
    return ok;
  }

  testsupport::HttpServer server;
  QProcess m_browser;
  QProcess m_compositor;
  QTemporaryDir m_busRuntime;
  QProcess m_sessionBus;
  QProcess m_a11yLauncher;
};

TEST_F(Journey, EveryDayUseFromStartToClose) {
  const QString favourites = QDir::homePath() + "/.local/share/hushleaf-browser/Favorites";
  QDir().mkpath(favourites);
  {
    QFile f(favourites + "/Local.url");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[InternetShortcut]\r\nURL=" + server.url("/fav").toUtf8() + "\r\n");
  }

  start();
  const QString wid = windowNamed("^Hushleaf Browser$");
  ASSERT_FALSE(wid.isEmpty());
  pump(1500);
  shot("01-start-page");
  const auto outOfTaskList = [&] {
    const QString state = sh("xprop -id " + wid + " _NET_WM_STATE");
    return state.contains("_NET_WM_STATE_SKIP_TASKBAR") &&
           state.contains("_NET_WM_STATE_SKIP_PAGER");
  };
  EXPECT_TRUE(waitUntil(outOfTaskList, 10000));

  // Typed into the address box, Enter; the second page stores what it can.
  enterAddress(wid, server.url("/a"));
  ASSERT_TRUE(titleBecomes(wid, "Page A - Hushleaf Browser"));
  enterAddress(wid, server.url("/b"));
  ASSERT_TRUE(titleBecomes(wid, "Page B stored - Hushleaf Browser"));

  // "ZodorAzev": pressed, then the hand moves the pointer away (XTest motion, as a mouse
  // makes, not a warp): the window goes, with its caption, and comes back in place from
  // the lower-right corner.
  const QString geometry =
      sh(QStringLiteral("xwininfo -id %1 | grep -E 'Absolute|Width|Height'").arg(wid));
  click(wid, "check box", "ZodorAzev");
  testsupport::x::moveMouse(QPoint(1000, 150));
  ASSERT_EVENTUALLY_EQ(mapped(wid), false, 10000);
  EXPECT_EQ(name(wid), QString());
  testsupport::x::moveMouse(QPoint(1270, 1010));
  ASSERT_EVENTUALLY_EQ(mapped(wid), true, 10000);
  pump(300);
  EXPECT_EQ(sh(QStringLiteral("xwininfo -id %1 | grep -E 'Absolute|Width|Height'").arg(wid)),
            geometry);
  EXPECT_EQ(name(wid), "Page B stored - Hushleaf Browser");
  EXPECT_TRUE(outOfTaskList());
  click(wid, "check box", "ZodorAzev");  // entered, released

  // Favorites: the one in the folder, from the menu (Help, left to Favorites).
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys("alt+h Left Down Down Return");
  EXPECT_TRUE(titleBecomes(wid, "Favourite - Hushleaf Browser"));

  // The proxy, through its dialog from the toolbar: on, our server as the proxy, Apply
  // (the box reports it), OK (reported again); the next load goes through it.
  click(wid, "push button", "Proxy");
  ASSERT_FALSE(windowNamed("^Proxy Settings$", 5000).isEmpty());
  pump(500);
  keys("alt+x Tab");
  type("127.0.0.1");
  keys("Tab");
  type(QString::number(server.port()));
  shot("02-proxy");
  keys("alt+a");
  pump(800);
  keys("Return");  // "Proxy settings enabled."
  pump(500);
  keys("Return");  // OK
  pump(800);
  keys("Return");  // reported again
  EXPECT_TRUE(waitUntil(
      [&] { return sh("xdotool search --onlyvisible --name '^Proxy Settings$'").isEmpty(); },
      5000));
  enterAddress(wid, "http://journey.example/");
  EXPECT_TRUE(titleBecomes(wid, "Via Proxy - Hushleaf Browser"));
  EXPECT_EQ(server.requestCount("http://journey.example/"), 1);

  // File > Close ends the program.
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys("alt+f c");
  EXPECT_EVENTUALLY_EQ(m_browser.state(), QProcess::NotRunning, 10000);
  EXPECT_EQ(m_browser.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(m_browser.exitCode(), 0);

  // The whole session left only the settings file (with the proxy on) and the favourite:
  // no cookies, storage or caches on disk.
  QStringList written;
  QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = QDir(QDir::homePath()).relativeFilePath(it.next());
    if (!file.contains("/openbox/")) {
      written << file;
    }
  }
  written.sort();
  EXPECT_EQ(written, (QStringList{".config/Hushleaf Browser.ini",
                                  ".local/share/hushleaf-browser/Favorites/Local.url"}))
      << written.join(QLatin1Char('\n')).toStdString();
  QSettings settings(QDir::homePath() + "/.config/Hushleaf Browser.ini", QSettings::IniFormat);
  EXPECT_EQ(settings.value("proxy/use").toString(), "true");
}

}  // namespace
