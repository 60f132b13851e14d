#include "app/layout.h"

namespace app {

namespace {
BrowserSize layout(float scaleWidth, float scaleHeight, float coolBarHeight, float statusBarHeight,
                   float slack) {
  BrowserSize size;
  const float height = scaleHeight - coolBarHeight - statusBarHeight - slack;
  if (height >= 0.0F) {
    size.height = height;
  }
  size.width = scaleWidth;
  return size;
}
}  // namespace

BrowserSize layoutOnResize(float scaleWidth, float scaleHeight, float coolBarHeight,
                           float statusBarHeight) {
  return layout(scaleWidth, scaleHeight, coolBarHeight, statusBarHeight, 20.0F);
}

BrowserSize layoutOnToolBarAreaHeightChanged(float scaleWidth, float scaleHeight,
                                             float coolBarHeight, float statusBarHeight) {
  return layout(scaleWidth, scaleHeight, coolBarHeight, statusBarHeight, 0.0F);
}

}  // namespace app
