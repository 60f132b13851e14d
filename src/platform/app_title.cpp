#include "platform/app_title.h"

#include "platform/x11.h"

#include <QWidget>

namespace platform {

AppTitle& AppTitle::instance() {
  static AppTitle title;
  return title;
}

void AppTitle::set(const QString& title) {
  AppTitle& self = instance();
  if (self.m_title == title) {
    return;
  }
  self.m_title = title;
  emit self.changed(title);
}

void setCaption(QWidget* window, const QString& caption) {
  window->setWindowTitle(caption);
  if (caption.isEmpty() && window->windowHandle() != nullptr) {
    x11::clearWindowName(static_cast<std::uint32_t>(window->winId()));
    x11::flush();
  }
}

}  // namespace platform
