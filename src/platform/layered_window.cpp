#include "platform/layered_window.h"

#include "platform/x11.h"

#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Kept on the widget itself so it lives and dies with the window.
constexpr const char* kExStyleProperty = "hushleafExStyle";

void dropOpacity(QWidget* window) {
  // Qt writes 0xffffffff for 1.0 rather than removing the property.
  window->setWindowOpacity(1.0);
  if (window->windowHandle() != nullptr) {
    x11::deleteProperty(static_cast<std::uint32_t>(window->winId()), "_NET_WM_WINDOW_OPACITY");
    x11::flush();
  }
}

}  // namespace

std::int32_t getWindowLong(const QWidget* window, std::int32_t index) {
  if (window == nullptr || index != kGwlExStyle) {
    return 0;
  }
  return window->property(kExStyleProperty).toInt();
}

std::int32_t setWindowLong(QWidget* window, std::int32_t index, std::int32_t newLong) {
  if (window == nullptr || index != kGwlExStyle || !window->isWindow()) {
    return 0;
  }
  const std::int32_t previous = getWindowLong(window, index);
  window->setProperty(kExStyleProperty, QVariant::fromValue(static_cast<int>(newLong)));
  if ((previous & kWsExLayered) != 0 && (newLong & kWsExLayered) == 0) {
    dropOpacity(window);
  }
  return previous;
}

bool setLayeredWindowAttributes(QWidget* window, std::uint32_t /*keyColour*/, std::uint8_t alpha,
                                std::uint32_t flags) {
  if (window == nullptr || (getWindowLong(window, kGwlExStyle) & kWsExLayered) == 0) {
    return false;
  }
  if ((flags & kLwaAlpha) != 0) {
    // alpha/255 is what maps exactly onto alpha * 0x01010101 in the X property.
    window->setWindowOpacity(static_cast<double>(alpha) / 255.0);
  }
  return true;
}

}  // namespace platform
