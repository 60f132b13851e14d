#include "app/application.h"

#include "app/browser_window.h"
#include "app/hide_all.h"
#include "app/icons.h"
#include "app/instance.h"
#include "browser/browser_engine.h"
#include "browser/downloads.h"
#include "browser/engine_profile.h"
#include "browser/res_scheme.h"
#include "browser/start_page.h"
#include "platform/app_title.h"
#include "platform/task_list.h"
#include "proxy/engine_proxy.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace app {

bool askedForNoSandbox(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr && std::strcmp(argv[i], kNoSandboxSwitch) == 0) {
      return true;
    }
  }
  return false;
}

QtArguments::QtArguments(const char* programName, bool noSandbox)
    : m_values{programName != nullptr ? programName : "hushleaf-browser", "--webEngineArgs",
               // WebRTC's UDP never goes round the proxy to tell a page the real address.
               "--force-webrtc-ip-handling-policy=disable_non_proxied_udp"} {
  if (noSandbox) {
    m_values.emplace_back(kNoSandboxSwitch);
  }
  for (std::string& value : m_values) {
    m_pointers.push_back(value.data());
  }
  m_argc = static_cast<int>(m_pointers.size());
  m_pointers.push_back(nullptr);
}

bool prepareProcess(bool noSandbox) {
  // X11 only: the cursor position and the task-list hints need it.
  qputenv("QT_QPA_PLATFORM", "xcb");
  // Only our own engine switches apply, never ones inherited from the environment: a
  // debugging port left in a login script would open every page to the network, another
  // engine process could be slipped in, or the sandbox switched off without a word.
  for (const char* name : {"QTWEBENGINE_CHROMIUM_FLAGS", "QTWEBENGINE_REMOTE_DEBUGGING",
                           "QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_PROCESS_PATH"}) {
    qunsetenv(name);
  }
  if (geteuid() == 0 && !noSandbox) {
    const QString message = QCoreApplication::translate(
        "app",
        "Hushleaf Browser will not run as root: the page engine's sandbox cannot work "
        "there. Start it as your own user, or add %1 to run it without the sandbox.");
    std::fprintf(stderr, "%s\n", qPrintable(message.arg(QLatin1String(kNoSandboxSwitch))));
    return false;
  }
  // Every file dialog is Qt's own: a desktop's chooser keeps a list of recent files.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  // Without a session bus the bus library would start one of its own and leave its
  // address under HOME (~/.dbus); an address that leads nowhere keeps it from trying.
  // Where a bus exists it is used as before (accessibility needs it).
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/hushleaf-browser/no-session-bus");
  }
  // Qt's own widgets keep nothing on disk (the file dialog would record the folders
  // visited): the program writes only the settings file it names itself.
  for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
    QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
  }
  browser::registerResScheme();
  return true;
}

bool startApplication() {
  if (tellRunningInstance()) {
    return false;
  }
  platform::setTaskVisible(false);
  platform::AppTitle::set(platform::applicationTitle());
  QApplication::setWindowIcon(applicationIcon());
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&WindowEvents::instance(), &WindowEvents::lastWindowUnloaded, qApp,
                   [] { QCoreApplication::exit(0); });
  QObject::connect(&WindowEvents::instance(), &WindowEvents::endProgram, qApp,
                   [] { QCoreApplication::exit(0); });

  // Direct until the user sets a proxy: nothing from the environment or the desktop.
  proxy::initEngineProxy();
  browser::handleDownloads(browser::sharedProfile());

  auto* main = new BrowserWindow();
  main->show();
  main->engine()->load(browser::currentStartPageAddress());
  HideAll::instance().start();
  // Started at the same moment as another copy: the one that loses the name runs alone.
  listenForLaterStarts();
  return true;
}

void shutdown() {
  // Pages must go before the profile they belong to.
  const auto windows = BrowserWindow::windows();
  for (BrowserWindow* w : windows) {
    delete w;
  }
  browser::releaseSharedProfile();
}

}  // namespace app
