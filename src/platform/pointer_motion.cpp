#include "platform/pointer_motion.h"

#include "platform/x11.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace platform {

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

}  // namespace

class PointerMotion::Filter : public QAbstractNativeEventFilter {
 public:
  Filter(PointerMotion& owner, std::uint8_t opcode) : m_owner(owner), m_opcode(opcode) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") {
      return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC) {
      return false;
    }
    const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
    if (generic->extension != m_opcode || generic->event_type != XCB_INPUT_RAW_MOTION) {
      return false;
    }
    emit m_owner.moved();
    return true;  // Qt has no use for raw events
  }

 private:
  PointerMotion& m_owner;
  std::uint8_t m_opcode;
};

PointerMotion::PointerMotion() : QObject(qGuiApp) {
  xcb_connection_t* c = x11::connection();
  const xcb_query_extension_reply_t* ext = c ? xcb_get_extension_data(c, &xcb_input_id) : nullptr;
  if (ext == nullptr || ext->present == 0) {
    return;
  }
  // Qt has already agreed a 2.x version on this connection (2.2 or later, which
  // delivers raw events of master devices). Selecting nothing yet tells whether the
  // server takes the request at all.
  m_available = select(false);
  if (m_available) {
    auto* filter = new Filter(*this, ext->major_opcode);
    qGuiApp->installNativeEventFilter(filter);
    connect(this, &QObject::destroyed, [filter] {
      // As a child of the application this goes at its very end, when it is no longer
      // there to ask and runs no more events.
      if (qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(filter);
      }
      delete filter;
    });
  }
}

// Sets or clears raw motion in what this client selects on the root window for the
// master devices, keeping any other bit selected there with the same request.
bool PointerMotion::select(bool rawMotion) {
  xcb_connection_t* c = x11::connection();
  const std::uint32_t root = x11::rootWindow();
  const std::unique_ptr<xcb_input_xi_get_selected_events_reply_t, FreeDeleter> current(
      xcb_input_xi_get_selected_events_reply(c, xcb_input_xi_get_selected_events(c, root),
                                             nullptr));
  std::uint32_t mask = 0;
  if (current) {
    auto it = xcb_input_xi_get_selected_events_masks_iterator(current.get());
    for (; it.rem > 0; xcb_input_event_mask_next(&it)) {
      if (it.data->deviceid == XCB_INPUT_DEVICE_ALL_MASTER && it.data->mask_len > 0) {
        mask = *xcb_input_event_mask_mask(it.data);
      }
    }
  }
  mask = rawMotion ? mask | XCB_INPUT_XI_EVENT_MASK_RAW_MOTION
                   : mask & ~std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
  struct {
    xcb_input_event_mask_t header;
    std::uint32_t mask;
  } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, mask};
  const xcb_void_cookie_t cookie =
      xcb_input_xi_select_events_checked(c, root, 1, &selection.header);
  const std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(c, cookie));
  return !error;
}

void PointerMotion::listen(bool on) {
  if (!m_available) {
    return;
  }
  const int before = m_listeners;
  m_listeners = std::max(0, m_listeners + (on ? 1 : -1));
  if ((before == 0) != (m_listeners == 0)) {
    select(m_listeners > 0);
  }
}

PointerMotion* PointerMotion::instance() {
  static PointerMotion* motion = nullptr;
  if (motion == nullptr && qGuiApp != nullptr && x11::connection() != nullptr) {
    motion = new PointerMotion();
    connect(motion, &QObject::destroyed, [] { motion = nullptr; });
  }
  return motion;
}

}  // namespace platform
