#include "platform/x11.h"

#include <xcb/xcb.h>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform::x11 {

xcb_connection_t* connection() {
  auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return app ? app->connection() : nullptr;
}

std::uint32_t rootWindow() {
  xcb_connection_t* c = connection();
  if (c == nullptr) {
    return 0;
  }
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  return it.rem > 0 ? it.data->root : 0;
}

std::uint32_t atom(const char* name) {
  xcb_connection_t* c = connection();
  if (c == nullptr) {
    return XCB_ATOM_NONE;
  }
  // An atom never changes while the server runs; asking again is a round trip, several
  // of which fall on every hide and restore.
  static std::map<std::string, std::uint32_t, std::less<>> known;
  static xcb_connection_t* knownFor = nullptr;
  if (knownFor != c) {
    known.clear();
    knownFor = c;
  }
  if (const auto it = known.find(std::string_view(name)); it != known.end()) {
    return it->second;
  }
  const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
  if (!reply) {
    return XCB_ATOM_NONE;
  }
  known.emplace(name, reply->atom);
  return reply->atom;
}

std::vector<std::uint32_t> atomListProperty(std::uint32_t window, const char* property) {
  std::vector<std::uint32_t> out;
  xcb_connection_t* c = connection();
  if (c == nullptr || window == 0) {
    return out;
  }
  const auto cookie = xcb_get_property(c, 0, window, atom(property), XCB_ATOM_ATOM, 0, 1024);
  const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
  if (!reply || reply->format != 32) {
    return out;
  }
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  out.assign(values, values + count);
  return out;
}

void setAtomListProperty(std::uint32_t window, const char* property,
                         const std::vector<std::uint32_t>& atoms) {
  xcb_connection_t* c = connection();
  if (c == nullptr || window == 0) {
    return;
  }
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(property), XCB_ATOM_ATOM, 32,
                      static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

void deleteProperty(std::uint32_t window, const char* property) {
  xcb_connection_t* c = connection();
  if (c == nullptr || window == 0) {
    return;
  }
  xcb_delete_property(c, window, atom(property));
}

void clearWindowName(std::uint32_t window) {
  xcb_connection_t* c = connection();
  if (c == nullptr || window == 0) {
    return;
  }
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"),
                      8, 0, nullptr);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                      nullptr);
}

void placeAsUser(std::uint32_t window, int x, int y, int width, int height) {
  xcb_connection_t* c = connection();
  if (c == nullptr || window == 0 || width <= 0 || height <= 0) {
    return;
  }
  // WM_SIZE_HINTS: flags, x, y, width, height, then the limits Qt wrote, kept as they are,
  // and last the gravity.
  constexpr std::uint32_t kFields = 18;
  constexpr std::uint32_t kUserPosition = 1;
  constexpr std::uint32_t kUserSize = 2;
  constexpr std::uint32_t kHasGravity = 1U << 9U;
  constexpr std::uint32_t kStaticGravity = 10;  // the client area itself stays put
  std::array<std::uint32_t, kFields> hints{};
  const auto cookie =
      xcb_get_property(c, 0, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, kFields);
  if (const XcbReply<xcb_get_property_reply_t> reply{xcb_get_property_reply(c, cookie, nullptr)};
      reply && reply->format == 32) {
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    std::memcpy(hints.data(), xcb_get_property_value(reply.get()),
                std::min<std::size_t>(length, kFields) * 4);
  }
  hints[0] |= kUserPosition | kUserSize | kHasGravity;
  hints[1] = static_cast<std::uint32_t>(x);
  hints[2] = static_cast<std::uint32_t>(y);
  hints[3] = static_cast<std::uint32_t>(width);
  hints[4] = static_cast<std::uint32_t>(height);
  hints[kFields - 1] = kStaticGravity;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, kFields, hints.data());
  const std::array<std::uint32_t, 4> place{
      static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
      static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  xcb_configure_window(c, window,
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                           XCB_CONFIG_WINDOW_HEIGHT,
                       place.data());
}

void mapWindow(std::uint32_t window) {
  if (xcb_connection_t* c = connection(); c != nullptr && window != 0) {
    xcb_map_window(c, window);
    xcb_flush(c);
  }
}

void withdrawWindow(std::uint32_t window) {
  xcb_connection_t* c = connection();
  const std::uint32_t root = rootWindow();
  if (c == nullptr || window == 0 || root == 0) {
    return;
  }
  xcb_unmap_window(c, window);
  // The synthetic UnmapNotify tells the manager even of a window it had not mapped.
  xcb_unmap_notify_event_t event{};
  event.response_type = XCB_UNMAP_NOTIFY;
  event.event = root;
  event.window = window;
  std::array<char, 32> raw{};
  std::memcpy(raw.data(), &event, sizeof event);
  xcb_send_event(c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 raw.data());
  xcb_flush(c);
}

void flush() {
  if (xcb_connection_t* c = connection()) {
    xcb_flush(c);
  }
}

bool isCloseRequest(const void* event) {
  const auto* generic = static_cast<const xcb_generic_event_t*>(event);
  if ((generic->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
    return false;
  }
  const auto* message = static_cast<const xcb_client_message_event_t*>(event);
  return message->format == 32 && message->type == atom("WM_PROTOCOLS") &&
         message->data.data32[0] == atom("WM_DELETE_WINDOW");
}

}  // namespace platform::x11
