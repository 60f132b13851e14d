#pragma once

#include <sys/types.h>
#include <string>

namespace testsupport {

// A private X server (Xvfb, 1280x1024x24) for one test process, so suites can run in
// parallel and one suite's window manager never meets another's windows. Sets DISPLAY.
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

 private:
  pid_t m_server = -1;
  pid_t m_wm = -1;
  std::string m_display;
};

}  // namespace testsupport
