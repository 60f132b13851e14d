#include "support/x_session.h"

#include "support/x_probe.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace testsupport {

namespace {
XSession* g_current = nullptr;

void stop(pid_t& pid) {
  if (pid <= 0) {
    return;
  }
  // A window manager runs in a process group of its own, with what it started.
  if (kill(-pid, SIGTERM) != 0) {
    kill(pid, SIGTERM);
  }
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (kill(-pid, SIGKILL) != 0) {
    kill(pid, SIGKILL);
  }
  waitpid(pid, nullptr, 0);
  pid = -1;
}
}  // namespace

namespace {
// In a forked child: it ends with the suite, even one that crashed, and keeps none of the
// suite's output open (ctest waits for every holder of its pipe before it moves on).
void detachFromSuite() {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  const int quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, STDOUT_FILENO);
  dup2(quiet, STDERR_FILENO);
  close(quiet);
}

// Starts one Xvfb; returns the display number it announced, or "" if it announced none.
std::string startServer(pid_t& server) {
  std::array<int, 2> fds{};
  if (pipe(fds.data()) != 0) {
    throw std::runtime_error("pipe failed");
  }
  server = fork();
  if (server == 0) {
    detachFromSuite();
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes the display number it took, then a newline, once it accepts clients.
  std::string number;
  char c = 0;
  while (read(fds[0], &c, 1) == 1 && c != '\n') {
    number += c;
  }
  close(fds[0]);
  return number;
}

bool answers(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  const bool ok = xcb_connection_has_error(c) == 0;
  xcb_disconnect(c);
  return ok;
}
}  // namespace

XSession::XSession() {
  // A server starting while another on the same number shuts down can announce a display
  // that then does not answer; a fresh server picks another number.
  for (int attempt = 0; attempt < 3 && m_display.empty(); ++attempt) {
    const std::string number = startServer(m_server);
    if (!number.empty() && answers(":" + number)) {
      m_display = ":" + number;
    } else {
      stop(m_server);
    }
  }
  if (m_display.empty()) {
    throw std::runtime_error("Xvfb did not start");
  }
  setenv("DISPLAY", m_display.c_str(), 1);
  leaveTheDesktop();
  g_current = this;
}

XSession::~XSession() {
  stop(m_wm);
  stop(m_server);
  std::error_code ignored;
  std::filesystem::remove_all(m_standIns, ignored);
  if (g_current == this) {
    g_current = nullptr;
  }
}

void XSession::leaveTheDesktop() {
  // A desktop's platform theme brings its own dialogs and services.
  for (const char* var :
       {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP",
        "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "QT_QPA_PLATFORMTHEME",
        "QT_STYLE_OVERRIDE", "BROWSER", "DEFAULT_BROWSER"}) {
    unsetenv(var);
  }
  // No bus: nothing can be started by D-Bus activation, and none is started on demand.
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/hushleaf-test-bus", 1);
  std::string folder = (std::filesystem::temp_directory_path() / "hushleaf-tools-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) {
    throw std::runtime_error("cannot create the stand-in folder");
  }
  m_standIns = folder;
  for (const char* name : {"xdg-open", "gnome-control-center", "systemsettings", "systemsettings5",
                           "nm-connection-editor"}) {
    const std::filesystem::path tool = std::filesystem::path(folder) / name;
    std::ofstream(tool) << "#!/bin/sh\necho \"${0##*/} $*\" >> \"${0%/*}/started\"\n";
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
  }
  const char* path = getenv("PATH");
  setenv("PATH", (folder + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str(), 1);
}

std::string XSession::desktopProgramsStarted() const {
  std::ifstream record(std::filesystem::path(m_standIns) / "started");
  std::stringstream text;
  text << record.rdbuf();
  return text.str();
}

XSession* XSession::current() { return g_current; }

bool XSession::startWindowManager() {
  if (m_wm > 0) {
    return true;
  }
  // HUSHLEAF_TEST_WM picks another manager for the suites that run under several.
  const char* chosen = std::getenv("HUSHLEAF_TEST_WM");
  const std::string wm = chosen != nullptr && *chosen != '\0' ? chosen : "openbox";
  m_wm = fork();
  if (m_wm == 0) {
    detachFromSuite();
    setpgid(0, 0);
    if (wm == "xfwm4") {
      // It reads its settings over a session bus: one of its own, gone with it.
      setenv("NO_AT_BRIDGE", "1", 1);
      execlp("dbus-run-session", "dbus-run-session", "--", "xfwm4", "--compositor=off",
             "--sm-client-disable", static_cast<char*>(nullptr));
    } else if (wm == "fluxbox") {
      execlp("fluxbox", "fluxbox", "-no-slit", "-no-toolbar", static_cast<char*>(nullptr));
    } else if (wm == "icewm") {
      execlp("icewm", "icewm", static_cast<char*>(nullptr));
    } else if (wm == "mutter") {
      execlp("mutter", "mutter", "--x11", "--sm-disable", static_cast<char*>(nullptr));
    } else {
      execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  return x::windowManagerReady(10000);
}

}  // namespace testsupport
