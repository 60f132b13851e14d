#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

struct xcb_connection_t;  // xcb's own typedef names the same struct

namespace platform::x11 {

// A reply, event or error xcb hands over, freed with free() as xcb asks.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// The display connection Qt uses, or nullptr when not on xcb.
xcb_connection_t* connection();
std::uint32_t rootWindow();
std::uint32_t atom(const char* name);

std::vector<std::uint32_t> atomListProperty(std::uint32_t window, const char* property);
void setAtomListProperty(std::uint32_t window, const char* property,
                         const std::vector<std::uint32_t>& atoms);
void deleteProperty(std::uint32_t window, const char* property);
// Empty caption at the X level: Qt substitutes the application name for "".
void clearWindowName(std::uint32_t window);
// Puts an unmapped top-level window's client area at this rectangle of the screen and
// marks the place and size as the user's, so that a window manager framing it at the
// next map keeps them instead of placing the window anew.
void placeAsUser(std::uint32_t window, int x, int y, int width, int height);
// Asks for a top-level window to be mapped (a window manager frames it first), flushed.
void mapWindow(std::uint32_t window);
// Withdraws a top-level window at once: unmapped, and the window manager told so, flushed.
void withdrawWindow(std::uint32_t window);
void flush();
// Whether an event Qt hands to nativeEvent is the window manager asking the window to close
// (a WM_DELETE_WINDOW client message).
bool isCloseRequest(const void* event);

}  // namespace platform::x11
