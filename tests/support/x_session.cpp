#include "support/x_session.h"

#include "support/x_probe.h"

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
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
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}
}  // namespace

XSession::XSession() {
  std::array<int, 2> fds{};
  if (pipe(fds.data()) != 0) {
    throw std::runtime_error("pipe failed");
  }
  m_server = fork();
  if (m_server == 0) {
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
  if (number.empty()) {
    stop(m_server);
    throw std::runtime_error("Xvfb did not start");
  }
  m_display = ":" + number;
  setenv("DISPLAY", m_display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_SESSION_TYPE");
  g_current = this;
}

XSession::~XSession() {
  stop(m_wm);
  stop(m_server);
  if (g_current == this) {
    g_current = nullptr;
  }
}

XSession* XSession::current() { return g_current; }

bool XSession::startWindowManager() {
  if (m_wm > 0) {
    return true;
  }
  m_wm = fork();
  if (m_wm == 0) {
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  return x::windowManagerReady(10000);
}

}  // namespace testsupport
