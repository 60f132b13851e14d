// The whole journey as a user makes it: the real executable on a private X server
// with a window manager and a compositor, driven only from outside with XTest
// (xdotool), observed with xprop/xwininfo, screenshots in build/journey/.
#include "platform/special_folder.h"
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
#include <QRect>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

using testsupport::pump;
using testsupport::waitUntil;

namespace {

QString sh(const QString& command) {
  QProcess p;
  p.start(QStringLiteral("bash"), {QStringLiteral("-c"), command});
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
    m_compositor.start(QStringLiteral("xcompmgr"), {});
    startAccessibilityBus();
    // Pages that store what they can: cookies, local storage, IndexedDB. None of it may
    // reach the disk.
    testsupport::HttpResponse a;
    a.headers = {{"Set-Cookie", "kept=1; Max-Age=86400; Path=/"}};
    a.body =
        testsupport::htmlPage(QStringLiteral("Page A"), QStringLiteral("<h1>alpha</h1>")).toUtf8();
    server.setPage(QStringLiteral("/a"), a);
    server.setPage(
        QStringLiteral("/b"), QStringLiteral("Page B"),
        QStringLiteral("<h1>beta</h1><script>"
                       "localStorage.setItem('k', 'v'.repeat(1000));"
                       "document.cookie = 'script=3; max-age=86400';"
                       "var r = indexedDB.open('db', 1);"
                       "r.onupgradeneeded = function () { r.result.createObjectStore('o'); };"
                       "r.onsuccess = function () {"
                       "  r.result.transaction('o', 'readwrite').objectStore('o').put('x', 'k');"
                       "};</script>"));
    // Standing in for a proxy too: what it is asked for with a full address.
    server.setHandler([](const testsupport::HttpRequest& request) {
      testsupport::HttpResponse response;
      response.body =
          testsupport::htmlPage(QStringLiteral("Via Proxy"), QString::fromUtf8(request.target))
              .toUtf8();
      return response;
    });
    server.setPage(QStringLiteral("/fav"), QStringLiteral("Favourite"),
                   QStringLiteral("<h1>fav</h1>"));
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
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_busRuntime.path());
    m_sessionBus.setProcessEnvironment(env);
    m_sessionBus.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
    ASSERT_TRUE(m_sessionBus.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return m_sessionBus.canReadLine(); }, 5000));
    const QByteArray address = m_sessionBus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    // The launcher registers on this bus, not on one from before it.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(address));
    m_a11yLauncher.setProcessEnvironment(env);
    m_a11yLauncher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                         {QStringLiteral("--launch-immediately")});
    ASSERT_TRUE(m_a11yLauncher.waitForStarted());
    pump(500);
  }

  void start() {
    m_browser.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    m_browser.setProcessEnvironment(env);
    m_browser.start(QStringLiteral(HUSHLEAF_EXE), {QStringLiteral("--ignored-argument")});
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
  QPoint origin(const QString& wid) {
    // xwininfo's absolute corner is the client area's, below the frame's title bar.
    const QString out = sh(QStringLiteral("xwininfo -id %1").arg(wid));
    const QRegularExpression x(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")),
        y(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)"));
    return {x.match(out).captured(1).toInt(), y.match(out).captured(1).toInt()};
  }
  // The on-screen box of the control with this role and accessible name in window wid.
  QRect control(const QString& wid, const QString& role, const QString& accessibleName) {
    const QPoint o = origin(wid);
    const QStringList out = sh(QStringLiteral("/usr/bin/python3 '%1' %2 %3 %4 '%5' '%6' 10")
                                   .arg(QStringLiteral(HUSHLEAF_A11Y_FIND))
                                   .arg(m_browser.processId())
                                   .arg(o.x())
                                   .arg(o.y())
                                   .arg(role, accessibleName))
                                .split(QLatin1Char(' '));
    if (out.size() != 6) {
      ADD_FAILURE() << "no " << role.toStdString() << " named " << accessibleName.toStdString();
      return {};
    }
    return {out[2].toInt(), out[3].toInt(), out[4].toInt(), out[5].toInt()};
  }
  void click(const QString& wid, const QString& role, const QString& accessibleName) {
    const QRect box = control(wid, role, accessibleName);
    if (box.isValid()) {
      clickAt(box.center());
    }
  }
  // Into the address box, replacing what it holds, then Enter.
  void enterAddress(const QString& wid, const QString& text) {
    click(wid, QStringLiteral("text"), QStringLiteral("Address"));
    keys(QStringLiteral("End shift+Home"));
    type(text);
    keys(QStringLiteral("Return"));
  }
  void clickAt(const QPoint& p) {
    testsupport::x::moveMouse(p);
    testsupport::x::click();
    pump(200);
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
  QTemporaryDir files;
  const QString local = files.path() + "/local.htm";
  {
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>Local file</title></head><body>local</body></html>");
  }

  start();
  const QString wid = windowNamed(QStringLiteral("^Hushleaf Browser$"));
  ASSERT_FALSE(wid.isEmpty());
  pump(1500);
  shot(QStringLiteral("01-start-page"));
  EXPECT_TRUE(sh("xprop -id " + wid + " _NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"));
  EXPECT_TRUE(sh("xprop -id " + wid + " _NET_WM_STATE").contains("_NET_WM_STATE_SKIP_PAGER"));

  // Type an address, Enter; then a prefix that completes from the history.
  enterAddress(wid, server.url("/a"));
  ASSERT_TRUE(titleBecomes(wid, QStringLiteral("Page A - Hushleaf Browser")));
  enterAddress(wid, server.url("/b"));
  ASSERT_TRUE(titleBecomes(wid, QStringLiteral("Page B - Hushleaf Browser")));
  click(wid, QStringLiteral("text"), QStringLiteral("Address"));
  keys(QStringLiteral("End shift+Home BackSpace"));
  type(QStringLiteral("127.0.0.1:%1/a").arg(server.port()).left(14));
  shot(QStringLiteral("02-completion"));
  keys(QStringLiteral("Return"));
  // The newest entry beginning with the typed text is page B's address.
  ASSERT_TRUE(titleBecomes(wid, QStringLiteral("Page B - Hushleaf Browser")));

  // Back, Forward, Refresh from the toolbar.
  enterAddress(wid, server.url("/a"));
  ASSERT_TRUE(titleBecomes(wid, QStringLiteral("Page A - Hushleaf Browser")));
  click(wid, QStringLiteral("push button"), QStringLiteral("Back"));
  EXPECT_TRUE(titleBecomes(wid, QStringLiteral("Page B - Hushleaf Browser")));
  click(wid, QStringLiteral("push button"), QStringLiteral("Forward"));
  EXPECT_TRUE(titleBecomes(wid, QStringLiteral("Page A - Hushleaf Browser")));
  const int before = server.requestCount("/a");
  click(wid, QStringLiteral("push button"), QStringLiteral("Refresh"));
  EXPECT_TRUE(waitUntil([&] { return server.requestCount("/a") > before; }));

  // Ctrl+N opens a second window on the same page.
  keys(QStringLiteral("ctrl+n"));
  EXPECT_TRUE(waitUntil([&] {
    // Its first document titles it "Hushleaf Browser" (its address box was empty).
    return sh(QStringLiteral("xdotool search --onlyvisible --name 'Hushleaf Browser$' | wc -l"))
               .toInt() >= 2;
  }));
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  pump(300);

  // The slider: dragged from its right end, the window becomes see-through.
  const QRect slider = control(wid, QStringLiteral("slider"), QStringLiteral("Transparency"));
  ASSERT_TRUE(slider.isValid());
  const QPoint thumb(slider.right() - 4, slider.center().y());  // at the opaque end
  sh(QStringLiteral("xdotool mousemove %1 %2 mousedown 1 mousemove %3 %2 mouseup 1")
         .arg(thumb.x())
         .arg(thumb.y())
         .arg(thumb.x() - 120));
  EXPECT_TRUE(
      waitUntil([&] { return sh("xprop -id " + wid + " _NET_WM_WINDOW_OPACITY").contains("= "); }));
  shot(QStringLiteral("03-transparent"));

  // ZodorAzev: pressed, then the cursor leaves: the window goes, with its caption.
  const QString geometry =
      sh(QStringLiteral("xwininfo -id %1 | grep -E 'Absolute|Width|Height'").arg(wid));
  click(wid, QStringLiteral("check box"), QStringLiteral("ZodorAzev"));
  // The hand moves the pointer (XTest motion, as a mouse makes), not a warp.
  testsupport::x::moveMouse(QPoint(1000, 150));
  ASSERT_TRUE(waitUntil([&] { return !mapped(wid); }, 3000));
  EXPECT_EQ(name(wid), QString());
  shot(QStringLiteral("04-hidden"));
  testsupport::x::moveMouse(QPoint(1270, 1010));
  ASSERT_TRUE(waitUntil([&] { return mapped(wid); }, 3000));
  pump(300);
  EXPECT_EQ(sh(QStringLiteral("xwininfo -id %1 | grep -E 'Absolute|Width|Height'").arg(wid)),
            geometry);
  EXPECT_EQ(name(wid), QStringLiteral("Page A - Hushleaf Browser"));
  EXPECT_TRUE(sh("xprop -id " + wid + " _NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"));
  shot(QStringLiteral("05-restored"));
  click(wid, QStringLiteral("check box"),
        QStringLiteral("ZodorAzev"));  // entered again, and released

  // Favorites: open the one in the folder from the menu (Help, left to Favorites).
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys(QStringLiteral("alt+h Left Down Down Return"));
  EXPECT_TRUE(titleBecomes(wid, QStringLiteral("Favourite - Hushleaf Browser")));
  // Add the page: the dialog comes prefilled; Enter saves it.
  keys(QStringLiteral("alt+h Left Return"));
  const QString add = windowNamed(QStringLiteral("^Add Favorite$"), 5000);
  EXPECT_FALSE(add.isEmpty());
  shot(QStringLiteral("06-add-favourite"));
  keys(QStringLiteral("Return"));
  EXPECT_TRUE(waitUntil([&] { return QFileInfo::exists(favourites + "/Favourite.url"); }, 5000));

  // File > Save Page As: the page goes where the user says.
  const QString saved = QDir::homePath() + "/Downloads/saved.htm";
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys(QStringLiteral("alt+f s"));
  EXPECT_FALSE(windowNamed(QStringLiteral("^Save Web Page$"), 5000).isEmpty());
  pump(800);
  keys(QStringLiteral("ctrl+a"));
  type(saved);
  keys(QStringLiteral("Return"));
  EXPECT_TRUE(waitUntil([&] { return QFileInfo(saved).size() > 0; }, 10000));

  // File > Open a local file.
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys(QStringLiteral("alt+f Down Return"));
  const QString open = windowNamed(QStringLiteral("."), 5000);
  pump(800);
  keys(QStringLiteral("ctrl+a"));
  type(local);
  keys(QStringLiteral("Return"));
  EXPECT_TRUE(titleBecomes(wid, QStringLiteral("Local file - Hushleaf Browser")));

  // The proxy, through its dialog from the toolbar: on, our server as the proxy, Apply
  // (the box reports it), OK (reported again); the next load goes through it.
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  click(wid, QStringLiteral("push button"), QStringLiteral("Proxy"));
  const QString proxy = windowNamed(QStringLiteral("^Proxy Settings$"), 5000);
  ASSERT_FALSE(proxy.isEmpty());
  pump(500);
  keys(QStringLiteral("alt+x Tab"));
  type(QStringLiteral("127.0.0.1"));
  keys(QStringLiteral("Tab"));
  type(QString::number(server.port()));
  shot(QStringLiteral("07-proxy"));
  keys(QStringLiteral("alt+a"));
  pump(800);
  keys(QStringLiteral("Return"));  // "Proxy settings enabled."
  pump(500);
  keys(QStringLiteral("Return"));  // OK
  pump(800);
  keys(QStringLiteral("Return"));  // reported again
  EXPECT_TRUE(waitUntil(
      [&] { return sh("xdotool search --onlyvisible --name '^Proxy Settings$'").isEmpty(); },
      5000));
  enterAddress(wid, QStringLiteral("http://journey.example/"));
  EXPECT_TRUE(titleBecomes(wid, QStringLiteral("Via Proxy - Hushleaf Browser")));
  EXPECT_EQ(server.requestCount("http://journey.example/"), 1);

  // Help > About, and its link: the box closes and the main window opens the site
  // (through the proxy, which is how we see it).
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys(QStringLiteral("alt+h Down Return"));
  const QString about = windowNamed(QStringLiteral("^About$"), 5000);
  ASSERT_FALSE(about.isEmpty());
  pump(500);
  shot(QStringLiteral("08-about"));
  const QRect link = control(about, QStringLiteral("label"),
                             QStringLiteral("Click here to Visit Hushleaf Browser Website"));
  ASSERT_TRUE(link.isValid());
  clickAt(link.topLeft() + QPoint(40, link.height() / 2));  // on the words, not past them
  EXPECT_TRUE(waitUntil(
      [&] { return sh("xdotool search --onlyvisible --name '^About$'").isEmpty(); }, 5000));
  EXPECT_TRUE(
      waitUntil([&] { return server.requestCount("http://www.hushleafbrowser.example/") > 0; }));

  // File > Close ends the program, the second window with it.
  sh(QStringLiteral("xdotool windowactivate --sync %1").arg(wid));
  keys(QStringLiteral("alt+f"));
  shot(QStringLiteral("09-file-menu"));
  keys(QStringLiteral("c"));
  EXPECT_TRUE(waitUntil([&] { return m_browser.state() == QProcess::NotRunning; }, 10000));
  EXPECT_EQ(m_browser.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(m_browser.exitCode(), 0);

  // The whole session left only what the user asked for: the settings file, the
  // favourites and the saved page.
  QStringList written;
  QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = QDir(QDir::homePath()).relativeFilePath(it.next());
    if (!file.startsWith(QLatin1String(".cache/openbox/")) &&
        !file.startsWith(QLatin1String(".config/openbox/"))) {
      written << file;
    }
  }
  written.sort();
  EXPECT_EQ(written, (QStringList{".config/Hushleaf Browser.ini",
                                  ".local/share/hushleaf-browser/Favorites/Favourite.url",
                                  ".local/share/hushleaf-browser/Favorites/Local.url",
                                  "Downloads/saved.htm"}))
      << written.join(QLatin1Char('\n')).toStdString();
  QSettings settings(QDir::homePath() + "/.config/Hushleaf Browser.ini", QSettings::IniFormat);
  EXPECT_EQ(settings.value("proxy/use").toString(), QStringLiteral("true"));
}

}  // namespace
