#include "platform/window_opacity.h"

#include "platform/x11.h"

#include <QWidget>
#include <QWindow>

namespace platform {

void setOpacity(QWidget* window, int level) {
  if (window == nullptr || !window->isWindow() || level < 0 || level > kOpaqueLevel) {
    return;
  }
  if (level < kOpaqueLevel) {
    // level/255 is what maps exactly onto level * 0x01010101 in the X property.
    window->setWindowOpacity(static_cast<double>(level) / kOpaqueLevel);
    return;
  }
  if (window->windowOpacity() < 1.0) {
    // Qt writes 0xffffffff for 1.0 rather than removing the property.
    window->setWindowOpacity(1.0);
    if (window->windowHandle() != nullptr) {
      x11::deleteProperty(static_cast<std::uint32_t>(window->winId()), "_NET_WM_WINDOW_OPACITY");
      x11::flush();
    }
  }
}

}  // namespace platform
