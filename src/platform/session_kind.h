#pragma once

namespace platform {

// Whether the desktop runs a Wayland session. The program then runs on XWayland, where
// the X server learns where the pointer is only while it is over an X window, so the
// global cursor position cannot be trusted. Read once, from XDG_SESSION_TYPE and
// WAYLAND_DISPLAY: the one thing the program takes from its environment.
bool isWaylandSession();

}  // namespace platform
