#include "platform/task_list.h"

#include "platform/x11.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QEvent>
#include <QPlatformSurfaceEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint32_t kNetWmStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;

void writeSkipState(std::uint32_t wid) {
  std::vector<std::uint32_t> state = x11::atomListProperty(wid, "_NET_WM_STATE");
  for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
    const std::uint32_t a = x11::atom(name);
    if (a != 0 && std::find(state.begin(), state.end(), a) == state.end()) {
      state.push_back(a);
    }
  }
  x11::setAtomListProperty(wid, "_NET_WM_STATE", state);
  x11::flush();
}

// Once mapped, a window manager only listens to client messages; a racing WM may
// have rewritten the property between our write and the map.
void sendSkipMessage(std::uint32_t wid) {
  xcb_connection_t* c = x11::connection();
  const std::uint32_t root = x11::rootWindow();
  if (c == nullptr || root == 0) {
    return;
  }
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = wid;
  ev.type = x11::atom("_NET_WM_STATE");
  ev.data.data32[0] = kNetWmStateAdd;
  ev.data.data32[1] = x11::atom("_NET_WM_STATE_SKIP_TASKBAR");
  ev.data.data32[2] = x11::atom("_NET_WM_STATE_SKIP_PAGER");
  ev.data.data32[3] = kSourceApplication;
  std::array<char, 32> raw{};
  std::memcpy(raw.data(), &ev, sizeof ev);
  xcb_send_event(c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 raw.data());
  x11::flush();
}

class SkipTaskbarFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget != nullptr && widget->isWindow()) {
        // Qt sends Show while the X window is still unmapped: the property is read at map.
        applySkipTaskbar(widget);
        if (QWindow* handle = widget->windowHandle()) {
          handle->setProperty(kPendingMessage, true);
        }
      }
    } else if (event->type() == QEvent::PlatformSurface) {
      // Qt may replace the native window while showing it (a page view needs a GL
      // surface): the new one is still unmapped here and needs the hints of its own.
      auto* window = qobject_cast<QWindow*>(watched);
      const auto* surface = static_cast<QPlatformSurfaceEvent*>(event);
      if (window != nullptr && window->parent() == nullptr &&
          surface->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated) {
        writeSkipState(static_cast<std::uint32_t>(window->winId()));
      }
    } else if (event->type() == QEvent::Expose) {
      auto* window = qobject_cast<QWindow*>(watched);
      if (window != nullptr && window->isExposed() && window->property(kPendingMessage).toBool()) {
        window->setProperty(kPendingMessage, false);
        sendSkipMessage(static_cast<std::uint32_t>(window->winId()));
      }
    }
    return false;
  }

 private:
  static constexpr const char* kPendingMessage = "hushleafSkipMessagePending";
};

QPointer<SkipTaskbarFilter> skipTaskbarFilter;

}  // namespace

void setTaskVisible(bool visible) {
  if (!visible && skipTaskbarFilter.isNull() && qApp != nullptr) {
    skipTaskbarFilter = new SkipTaskbarFilter(qApp);
    qApp->installEventFilter(skipTaskbarFilter);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible()) {
        applySkipTaskbar(w);
      }
    }
  } else if (visible && !skipTaskbarFilter.isNull()) {
    delete skipTaskbarFilter;
  }
}

bool taskVisible() { return skipTaskbarFilter.isNull(); }

void applySkipTaskbar(const QWidget* window) {
  if (window == nullptr || window->windowHandle() == nullptr) {
    return;
  }
  writeSkipState(static_cast<std::uint32_t>(window->winId()));
}

}  // namespace platform
