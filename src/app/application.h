#pragma once

#include <string>
#include <vector>

namespace app {

// The engine's own switch that lets the program run as root, the one argument read.
inline constexpr const char* kNoSandboxSwitch = "--no-sandbox";

// Whether the command line holds --no-sandbox; nothing else on it is looked at.
bool askedForNoSandbox(int argc, const char* const* argv);

// Process set-up that must happen before QApplication exists: the xcb platform, engine
// settings left in the environment removed, Qt's own file dialogs, the res: scheme.
// Returns false, with a message on stderr, when the program must not start: as root
// the engine's sandbox cannot run, and only noSandbox (--no-sandbox) accepts that.
bool prepareProcess(bool noSandbox);

// The argument list QApplication is given: the program's name and the engine switches
// that are ours (WebRTC only through the proxy; --no-sandbox when asked for). It must
// outlive the QApplication.
class QtArguments {
 public:
  QtArguments(const char* programName, bool noSandbox);
  QtArguments(const QtArguments&) = delete;
  QtArguments& operator=(const QtArguments&) = delete;

  int& argc() { return m_argc; }
  char** argv() { return m_pointers.data(); }

 private:
  std::vector<std::string> m_values;
  std::vector<char*> m_pointers;
  int m_argc = 0;
};

// The start-up routine: out of the task list, the application title, the main
// window shown on the start page, the hide-all key, the answer to later starts. False
// when the program already runs for this user and display: that instance was told, and
// this process has nothing to do.
bool startApplication();

// Tears down what startApplication built, once the event loop has ended.
void shutdown();

}  // namespace app
