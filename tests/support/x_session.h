#pragma once

#include <sys/types.h>
#include <string>

namespace testsupport {

// A private X server (Xvfb, 1280x1024x24) for one test process, so suites can run in
// parallel and one suite's window manager never meets another's windows. Sets DISPLAY.
// The process also leaves the user's desktop behind: no desktop's theme, no session bus,
// and stand-ins first on PATH for the desktop programs the browser may start.
class XSession {
 public:
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  [[nodiscard]] const std::string& display() const { return m_display; }

  // Starts the window manager on this display (idempotent; openbox unless
  // HUSHLEAF_TEST_WM names another) and waits until it manages windows.
  bool startWindowManager();

  // The process-wide session, made by the GUI test main.
  static XSession* current();

  // What the stand-in desktop programs were asked, one "name arguments" line each.
  [[nodiscard]] std::string desktopProgramsStarted() const;
  [[nodiscard]] const std::string& standInFolder() const { return m_standIns; }

 private:
  void leaveTheDesktop();

  pid_t m_server = -1;
  pid_t m_wm = -1;
  std::string m_display;
  std::string m_standIns;
};

}  // namespace testsupport
