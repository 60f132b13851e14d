#include "stealth/transparent.h"

#include "platform/layered_window.h"

namespace stealth::transparent {

using platform::kGwlExStyle;
using platform::kWsExLayered;

void MakeTransparent(QWidget* window, std::int32_t level) {
  if (level < 0 || level > kOpaqueLevel) {
    return;
  }
  const std::int32_t style = platform::getWindowLong(window, kGwlExStyle);
  if (level != kOpaqueLevel) {
    platform::setWindowLong(window, kGwlExStyle, style | kWsExLayered);
    platform::setLayeredWindowAttributes(window, 0, static_cast<std::uint8_t>(level),
                                         platform::kLwaAlpha);
  } else {
    platform::setWindowLong(window, kGwlExStyle, style & ~kWsExLayered);
  }
}

void RemoveTransparency(QWidget* window) {
  const std::int32_t style = platform::getWindowLong(window, kGwlExStyle);
  platform::setWindowLong(window, kGwlExStyle, style & ~kWsExLayered);
}

}  // namespace stealth::transparent
