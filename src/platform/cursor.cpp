#include "platform/cursor.h"

#include "platform/pointer_motion.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPoint>

#include <atomic>

namespace platform {

namespace {
std::atomic<std::uint64_t> g_reads{0};
}  // namespace

bool GetCursorPos(CursorPoint& out) {
  if (qGuiApp == nullptr || QGuiApplication::primaryScreen() == nullptr) {
    return false;
  }
  g_reads.fetch_add(1, std::memory_order_relaxed);
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

bool SetCursorPos(std::int32_t x, std::int32_t y) {
  if (qGuiApp == nullptr || QGuiApplication::primaryScreen() == nullptr) {
    return false;
  }
  QCursor::setPos(x, y);
  return true;
}

std::uint64_t cursorReadCount() { return g_reads.load(std::memory_order_relaxed); }

}  // namespace platform
