#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The command line that asks for the system's internet options.
inline constexpr const char* kInternetOptionsCommandLine =
    "rundll32.exe shell32.dll,Control_RunDLL Inetcpl.cpl";

// Starts a command line in a normal window without waiting for it. The internet
// options line starts the desktop's own network settings tool, when one is installed.
// Returns false when nothing could be started; callers ignore it.
bool startCommandLine(const QString& commandLine);

// The program and arguments the internet options line maps to here, or empty.
QStringList internetOptionsTool();

}  // namespace platform
