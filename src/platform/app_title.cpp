#include "platform/app_title.h"

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

}  // namespace platform
