#include "platform/global_key.h"

#include "platform/x11.h"

#include <xcb/xcb.h>
#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <cstdlib>
#include <memory>

namespace platform {

namespace {

using x11::FreeDeleter;
using x11::XcbReply;

// Lock modifiers: Caps Lock, Num Lock (Mod2), Scroll Lock (Mod5).
constexpr std::array<std::uint16_t, 3> kLocks = {XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_5};
constexpr std::uint16_t kLockMask = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_MOD_MASK_5;

std::array<std::uint16_t, 8> lockCombinations() {
  std::array<std::uint16_t, 8> out{};
  for (unsigned i = 0; i < out.size(); ++i) {
    for (unsigned bit = 0; bit < kLocks.size(); ++bit) {
      if ((i & (1U << bit)) != 0) {
        out[i] |= kLocks[bit];
      }
    }
  }
  return out;
}

// The X keysym of a Qt key, for the keys a combination may end with.
std::uint32_t keysymOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return static_cast<std::uint32_t>('a' + (key - Qt::Key_A));
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return static_cast<std::uint32_t>(key);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return 0xffbeU + static_cast<std::uint32_t>(key - Qt::Key_F1);
  }
  switch (key) {
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_Pause:
      return 0xff13;
    case Qt::Key_Insert:
      return 0xff63;
    case Qt::Key_Home:
      return 0xff50;
    case Qt::Key_End:
      return 0xff57;
    case Qt::Key_PageUp:
      return 0xff55;
    case Qt::Key_PageDown:
      return 0xff56;
    default:
      return 0;
  }
}

std::uint8_t keycodeOf(xcb_connection_t* c, std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
      c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
      nullptr));
  if (!reply || reply->keysyms_per_keycode == 0) {
    return 0;
  }
  const auto* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
  const int per = reply->keysyms_per_keycode;
  // The unshifted sym first: a key that makes it shifted only would need Shift too.
  for (int column = 0; column < std::min(per, 2); ++column) {
    for (int i = 0; i < count; ++i) {
      if (syms[i * per + column] == keysym) {
        return static_cast<std::uint8_t>(setup->min_keycode + i);
      }
    }
  }
  return 0;
}

std::uint16_t modifiersOf(Qt::KeyboardModifiers mods) {
  std::uint16_t out = 0;
  if (mods & Qt::ShiftModifier) {
    out |= XCB_MOD_MASK_SHIFT;
  }
  if (mods & Qt::ControlModifier) {
    out |= XCB_MOD_MASK_CONTROL;
  }
  if (mods & Qt::AltModifier) {
    out |= XCB_MOD_MASK_1;
  }
  if (mods & Qt::MetaModifier) {
    out |= XCB_MOD_MASK_4;
  }
  return out;
}

}  // namespace

// Takes the grabbed key's presses out of Qt's event stream: they come for the root
// window, which no Qt window stands for.
class GlobalKey::Filter : public QAbstractNativeEventFilter {
 public:
  explicit Filter(GlobalKey& owner) : m_owner(owner) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (m_owner.m_keycode == 0 || type != "xcb_generic_event_t") {
      return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t kind = event->response_type & 0x7fU;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) {
      return false;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != x11::rootWindow() || key->detail != m_owner.m_keycode ||
        (key->state & ~kLockMask & 0xffU) != m_owner.m_modifiers) {
      return false;
    }
    if (kind == XCB_KEY_PRESS) {
      // From the loop, not from inside Qt's reading of the connection.
      QTimer::singleShot(0, &m_owner, &GlobalKey::activated);
    }
    return true;
  }

 private:
  GlobalKey& m_owner;
};

GlobalKey::GlobalKey(QObject* parent) : QObject(parent), m_filter(std::make_unique<Filter>(*this)) {
  QCoreApplication::instance()->installNativeEventFilter(m_filter.get());
}

GlobalKey::~GlobalKey() {
  release();
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(m_filter.get());
  }
}

GlobalKey::Grab GlobalKey::grab(const QKeySequence& keys) {
  release();
  xcb_connection_t* c = x11::connection();
  const std::uint32_t root = x11::rootWindow();
  if (c == nullptr || root == 0 || keys.isEmpty()) {
    return Grab::Unusable;
  }
  const QKeyCombination combination = keys[0];
  const std::uint32_t keysym = keysymOf(combination.key());
  const std::uint8_t keycode = keysym != 0 ? keycodeOf(c, keysym) : 0;
  const std::uint16_t modifiers = modifiersOf(combination.keyboardModifiers());
  // A bare key would be taken from every program that uses it.
  if (keycode == 0 || modifiers == 0) {
    return Grab::Unusable;
  }
  const auto combos = lockCombinations();
  std::array<xcb_void_cookie_t, combos.size()> cookies{};
  for (std::size_t i = 0; i < combos.size(); ++i) {
    cookies[i] = xcb_grab_key_checked(c, 1, root, modifiers | combos[i], keycode,
                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }
  bool taken = false;
  for (const xcb_void_cookie_t cookie : cookies) {
    if (const XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie)); error) {
      taken = true;  // BadAccess: another client grabbed it first
    }
  }
  if (taken) {
    for (const std::uint16_t combo : combos) {
      xcb_ungrab_key(c, keycode, root, modifiers | combo);
    }
    xcb_flush(c);
    return Grab::Taken;
  }
  m_keys = QKeySequence(combination);
  m_keycode = keycode;
  m_modifiers = modifiers;
  return Grab::Held;
}

void GlobalKey::release() {
  xcb_connection_t* c = x11::connection();
  if (m_keycode != 0 && c != nullptr) {
    for (const std::uint16_t combo : lockCombinations()) {
      xcb_ungrab_key(c, m_keycode, x11::rootWindow(), m_modifiers | combo);
    }
    xcb_flush(c);
  }
  m_keycode = 0;
  m_modifiers = 0;
  m_keys = QKeySequence();
}

std::vector<std::uint32_t> clientStackingOrder() {
  std::vector<std::uint32_t> out;
  xcb_connection_t* c = x11::connection();
  const std::uint32_t root = x11::rootWindow();
  if (c == nullptr || root == 0) {
    return out;
  }
  const auto cookie = xcb_get_property(c, 0, root, x11::atom("_NET_CLIENT_LIST_STACKING"),
                                       XCB_ATOM_WINDOW, 0, 4096);
  const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
  if (!reply || reply->format != 32) {
    return out;
  }
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  out.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
  return out;
}

}  // namespace platform
