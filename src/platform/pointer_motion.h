#pragma once

#include <QObject>

#include <cstdint>

namespace platform {

// Tells of every pointer motion anywhere on the screen, without polling: XInput2 raw
// motion selected on the root window over Qt's own X connection and read from Qt's
// native event stream (no second connection, no thread). A warp makes no raw motion;
// it shows only as Enter/Leave on the windows it crosses.
//
// Every raw event wakes the process, so the events are selected only while someone
// listens, and only from the master pointer (a slave device's motion would come twice:
// once from the device, once from the pointer it drives).
class PointerMotion : public QObject {
  Q_OBJECT

 public:
  // The process-wide watcher. Null without a QGuiApplication on xcb.
  static PointerMotion* instance();
  // False when the server has no XInput2: only Enter/Leave and polls tell of motion.
  [[nodiscard]] bool available() const { return m_available; }
  // Each listener turns the events on once and off once; they flow while any listens.
  void listen(bool on);

 signals:
  void moved();

 private:
  PointerMotion();
  bool select(bool rawMotion);
  class Filter;
  bool m_available = false;
  int m_listeners = 0;
};

}  // namespace platform
