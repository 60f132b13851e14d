#include "platform/cursor.h"

#include "platform/pointer_motion.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPoint>

namespace platform {

bool readPointer(CursorPoint& out) {
  if (qGuiApp == nullptr || QGuiApplication::primaryScreen() == nullptr) {
    return false;
  }
  // Over the pointer watcher's own connection when there is one: a round trip through
  // Qt's connection wakes its reader thread as well as this one.
  if (PointerMotion* motion = PointerMotion::instance()) {
    return motion->readPointer(out.x, out.y);
  }
  const QPoint p = QCursor::pos();
  out.x = p.x();
  out.y = p.y();
  return true;
}

}  // namespace platform
