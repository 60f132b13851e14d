#include "platform/session_kind.h"

#include <QByteArray>
#include <QtGlobal>

namespace platform {

bool isWaylandSession() {
  static const bool wayland = qgetenv("XDG_SESSION_TYPE").toLower() == "wayland" ||
                              !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  return wayland;
}

}  // namespace platform
