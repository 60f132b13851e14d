#include "platform/pointer_motion.h"

#include "platform/x11.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QCursor>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace platform {

using x11::FreeDeleter;
using x11::XcbReply;

PointerMotion::PointerMotion() : QObject(qGuiApp) {
  // The display Qt was given: the program hands Qt no command line, so it is $DISPLAY.
  m_connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(m_connection) != 0) {
    close();
    return;
  }
  m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(m_connection, &xcb_input_id);
  if (ext == nullptr || ext->present == 0 || m_root != x11::rootWindow()) {
    close();
    return;
  }
  // 2.2 delivers raw events of the master devices to the root window of any client.
  const XcbReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
      m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr));
  if (!version || version->major_version < 2 ||
      (version->major_version == 2 && version->minor_version < 2)) {
    close();
    return;
  }
  m_opcode = ext->major_opcode;
  m_available = true;
  m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection),
                                                 QSocketNotifier::Read);
  m_notifier->setEnabled(false);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, &PointerMotion::readSocket);
}

PointerMotion::~PointerMotion() { close(); }

void PointerMotion::close() {
  m_available = false;
  if (m_notifier) {
    // It may be the notifier whose signal runs now.
    m_notifier->setEnabled(false);
    m_notifier.release()->deleteLater();
  }
  if (m_connection != nullptr) {
    xcb_disconnect(m_connection);
    m_connection = nullptr;
  }
}

void PointerMotion::select(bool rawMotion) {
  // This connection selects nothing else: the mask is its whole selection.
  struct {
    xcb_input_event_mask_t header;
    std::uint32_t mask;
  } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
              rawMotion ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION} : 0U};
  xcb_input_xi_select_events(m_connection, m_root, 1, &selection.header);
  xcb_flush(m_connection);
}

void PointerMotion::listen(bool on) {
  if (!m_available) {
    return;
  }
  const int before = m_listeners;
  m_listeners = std::max(0, m_listeners + (on ? 1 : -1));
  if ((before == 0) != (m_listeners == 0)) {
    select(m_listeners > 0);
    if (m_listeners == 0) {
      takeEvents(false);  // what came before the selection ended means nothing now
      m_lastMotion.reset();
    }
  }
  heed();
}

void PointerMotion::pause(bool on) {
  if (!m_available) {
    return;
  }
  m_paused = std::max(0, m_paused + (on ? 1 : -1));
  heed();
  if (!on && takeEvents(false)) {
    // What waited is told from the loop: the listener resuming asks movedSince() itself.
    tellLater();
  }
}

void PointerMotion::tellLater() {
  if (m_tellPending) {
    return;
  }
  m_tellPending = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_tellPending = false;
        if (m_lastMotion && m_listeners > m_paused) {
          emit moved(*m_lastMotion);
        }
      },
      Qt::QueuedConnection);
}

void PointerMotion::heed() {
  if (m_notifier) {
    m_notifier->setEnabled(m_listeners > m_paused);
  }
}

bool PointerMotion::readPointer(std::int32_t& x, std::int32_t& y) {
  if (!m_available || qGuiApp->devicePixelRatio() != 1.0) {
    // Scaled screens: Qt's own reading turns the server's pixels into its own.
    m_lastReading.reset();
    if (QGuiApplication::primaryScreen() == nullptr) {
      return false;
    }
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
    return true;
  }
  const xcb_query_pointer_cookie_t cookie = xcb_query_pointer(m_connection, m_root);
  const XcbReply<xcb_query_pointer_reply_t> reply(
      xcb_query_pointer_reply(m_connection, cookie, nullptr));
  // Events that came with the reply wait in xcb's queue, where the notifier cannot see
  // them.
  if (takeEvents(true) && m_listeners > m_paused && isAfter(*m_lastMotion, cookie.sequence)) {
    tellLater();
  }
  if (!reply) {
    m_lastReading.reset();
    if (xcb_connection_has_error(m_connection) != 0) {
      close();
    }
    return false;
  }
  m_lastReading = cookie.sequence;
  x = reply->root_x;
  y = reply->root_y;
  return true;
}

bool PointerMotion::movedSince(Stamp reading) {
  takeEvents(false);
  return m_lastMotion && isAfter(*m_lastMotion, reading);
}

bool PointerMotion::takeEvents(bool queuedOnly) {
  if (m_connection == nullptr) {
    return false;
  }
  bool motion = false;
  while (xcb_generic_event_t* event = queuedOnly ? xcb_poll_for_queued_event(m_connection)
                                                 : xcb_poll_for_event(m_connection)) {
    const std::unique_ptr<xcb_generic_event_t, FreeDeleter> owned(event);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC) {
      continue;  // an error for a request that asked no reply; nothing here depends on one
    }
    const auto* raw = reinterpret_cast<const xcb_input_raw_motion_event_t*>(event);
    if (raw->extension == m_opcode && raw->event_type == XCB_INPUT_RAW_MOTION) {
      m_lastMotion = raw->full_sequence;
      motion = true;
    }
  }
  if (xcb_connection_has_error(m_connection) != 0) {
    close();
  }
  return motion;
}

void PointerMotion::readSocket() {
  if (takeEvents(false) && m_listeners > m_paused) {
    emit moved(*m_lastMotion);
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
