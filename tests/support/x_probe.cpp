#include "support/x_probe.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <QGuiApplication>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace testsupport::x {

namespace {

struct Free {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, Free>;

void roundTrip() {
  Reply<xcb_get_input_focus_reply_t>(
      xcb_get_input_focus_reply(connection(), xcb_get_input_focus(connection()), nullptr));
}

// delayMs: how long the server waits before it acts, as a hand takes its time.
void fake(std::uint8_t type, std::uint8_t detail, QPoint at = {}, std::uint32_t delayMs = 0) {
  xcb_test_fake_input(connection(), type, detail, delayMs, root(),
                      static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()), 0);
  roundTrip();
}

}  // namespace

xcb_connection_t* connection() {
  if (auto* app =
          qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
    return app->connection();
  }
  static xcb_connection_t* own = xcb_connect(nullptr, nullptr);
  return own;
}

std::uint32_t root() { return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root; }

std::uint32_t atom(const char* name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection(),
      xcb_intern_atom(connection(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr));
  return reply ? reply->atom : 0;
}

std::optional<QByteArray> property(std::uint32_t window, const char* name) {
  const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection(),
      xcb_get_property(connection(), 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
      nullptr));
  if (!reply || reply->type == XCB_ATOM_NONE) {
    return std::nullopt;
  }
  return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                    xcb_get_property_value_length(reply.get()));
}

std::optional<std::uint32_t> opacity(std::uint32_t window) {
  const auto raw = property(window, "_NET_WM_WINDOW_OPACITY");
  if (!raw || raw->size() != 4) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, raw->constData(), 4);
  return value;
}

bool viewable(std::uint32_t window) {
  const Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
      connection(), xcb_get_window_attributes(connection(), window), nullptr));
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::uint32_t frameOf(std::uint32_t window) {
  std::uint32_t current = window;
  for (int depth = 0; depth < 8; ++depth) {
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection(), xcb_query_tree(connection(), current), nullptr));
    if (!tree || tree->parent == root() || tree->parent == XCB_WINDOW_NONE) {
      break;
    }
    current = tree->parent;
  }
  return current;
}

bool windowManagerReady(int timeoutMs) {
  xcb_connection_t* c = connection();
  for (int elapsed = 0; elapsed < timeoutMs; elapsed += 1000) {
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root(), 700, 600, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c, probe);
    bool framed = false;
    for (int ms = 0; ms < 1000 && !framed; ms += 10) {
      framed = frameOf(probe) != probe;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    xcb_destroy_window(c, probe);
    roundTrip();
    if (framed) {
      return true;
    }
  }
  return false;
}

void moveMouse(QPoint to) { fake(XCB_MOTION_NOTIFY, 0, to); }

void click(int button) {
  fake(XCB_BUTTON_PRESS, static_cast<std::uint8_t>(button));
  // Released a moment later, as a finger does: a release in the same instant can reach a
  // window manager still holding its click-to-focus grab, and the page then sees a button
  // held down and starts dragging.
  fake(XCB_BUTTON_RELEASE, static_cast<std::uint8_t>(button), {}, 50);
}

namespace {

// The keycodes of these keysyms on the server's keyboard, from one reading of its map;
// a keysym it lacks is left out.
std::vector<std::uint8_t> keycodes(std::initializer_list<std::uint32_t> keysyms) {
  const xcb_setup_t* setup = xcb_get_setup(connection());
  const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  const Reply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
      connection(), xcb_get_keyboard_mapping(connection(), setup->min_keycode, count), nullptr));
  std::vector<std::uint8_t> codes;
  if (!map) {
    return codes;
  }
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
  const int perCode = map->keysyms_per_keycode;
  for (const std::uint32_t keysym : keysyms) {
    for (int i = 0; i < count * perCode; ++i) {
      if (syms[i] == keysym) {
        codes.push_back(static_cast<std::uint8_t>(setup->min_keycode + i / perCode));
        break;
      }
    }
  }
  return codes;
}

}  // namespace

std::optional<std::uint8_t> keycode(std::uint32_t keysym) {
  const auto codes = keycodes({keysym});
  return codes.empty() ? std::nullopt : std::optional<std::uint8_t>(codes.front());
}

void keys(std::initializer_list<std::uint32_t> keysyms) {
  const auto codes = keycodes(keysyms);
  for (const std::uint8_t code : codes) {
    fake(XCB_KEY_PRESS, code);
  }
  for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
    fake(XCB_KEY_RELEASE, *it);
  }
}

void drag(QPoint from, QPoint to) {
  moveMouse(from);
  fake(XCB_BUTTON_PRESS, 1);
  for (int step = 1; step <= 10; ++step) moveMouse(from + (to - from) * step / 10);
  fake(XCB_BUTTON_RELEASE, 1);
}

void askToClose(std::uint32_t window) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atom("WM_PROTOCOLS");
  message.data.data32[0] = atom("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection());
}

}  // namespace testsupport::x
