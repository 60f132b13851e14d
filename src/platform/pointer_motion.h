#pragma once

#include <QObject>

namespace platform {

// Tells of every pointer motion anywhere on the screen, without polling: XInput2 raw
// motion selected on the root window over Qt's own X connection and read from Qt's
// native event stream (no second connection, no thread). A warp makes no raw motion;
// it shows only as Enter/Leave on the windows it crosses.
class PointerMotion : public QObject {
  Q_OBJECT

 public:
  // The process-wide watcher; selects the events on first use. Null without a
  // QGuiApplication on xcb.
  static PointerMotion* instance();
  // False when the server has no XInput2: only Enter/Leave and polls tell of motion.
  [[nodiscard]] bool available() const { return m_available; }

 signals:
  void moved();

 private:
  PointerMotion();
  class Filter;
  bool m_available = false;
};

}  // namespace platform
