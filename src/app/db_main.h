#pragma once

namespace app {

// Process set-up that must happen before QApplication exists: the xcb platform,
// the engine's sandbox when running as root, the res: scheme. Reads nothing from
// the environment or the command line.
void prepareProcess();

// The start-up routine: out of the task list, the application title, the main
// window shown on the start page, the hide-all key, the answer to later starts. False
// when the program already runs for this user and display: that instance was told, and
// this process has nothing to do.
bool Main();

// Tears down what Main built, once the event loop has ended.
void shutdown();

}  // namespace app
