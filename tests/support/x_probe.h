#pragma once
// Reading the X server as another client would, and moving the pointer as a user's hand
// does. Uses Qt's connection when a QGuiApplication runs, else one of its own to $DISPLAY.

#include <QByteArray>
#include <QPoint>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

using xcb_connection_t = struct xcb_connection_t;

namespace testsupport::x {

xcb_connection_t* connection();
std::uint32_t root();
std::uint32_t atom(const char* name);

// A property's raw bytes; nullopt when the window does not have it.
std::optional<QByteArray> property(std::uint32_t window, const char* name);
// _NET_WM_WINDOW_OPACITY as a number; nullopt when absent.
std::optional<std::uint32_t> opacity(std::uint32_t window);
// Whether the window is mapped and all its ancestors too.
bool viewable(std::uint32_t window);
// The window manager's frame around a client (the ancestor just below the root).
std::uint32_t frameOf(std::uint32_t window);

// True once the window manager really manages new windows: it publishes itself a little
// before it handles map requests, and a window mapped in between stays unmapped.
bool windowManagerReady(int timeoutMs = 5000);

// Pointer motion through XTest, as a real mouse's motion arrives: it makes XInput2 raw
// motion, which a warp does not. Returns once the server has moved the pointer.
void moveMouse(QPoint to);
// A click through XTest where the pointer is, released 50 ms after the press as a finger
// does: 1 is the left button, 8 and 9 a mouse's back and forward buttons.
void click(int button = 1);
// The keycode of an X keysym on the server's keyboard.
std::optional<std::uint8_t> keycode(std::uint32_t keysym);
// Keys pressed together through XTest, in order, then released (X keysyms: 0xffe3 is the
// left Ctrl, 0x77 "w"), as a hand types them.
void keys(std::initializer_list<std::uint32_t> keysyms);
// The left button held from `from` to `to`, as a hand drags a window by its title bar.
void drag(QPoint from, QPoint to);
// What a window manager sends when the user clicks a window's close box.
void askToClose(std::uint32_t window);

}  // namespace testsupport::x
