#pragma once

#include <QString>

namespace app {

// The program runs once per user and display. A later start finds the running one through
// a local socket in the abstract namespace (nothing on disk, gone with the process), tells
// it so and ends; the running one brings its hidden windows back or, with every window in
// sight, opens a new one as File > New does.
[[nodiscard]] QString instanceName();

// True when a running instance answered: this process has nothing more to do.
bool tellRunningInstance();

// Answers later starts for as long as the program runs. False when the name could not be
// taken (another instance took it meanwhile).
bool listenForLaterStarts();

}  // namespace app
