#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

class QSocketNotifier;
struct xcb_connection_t;  // xcb's own typedef names the same struct

namespace platform {

// Tells of every pointer motion anywhere on the screen without polling, and reads the
// pointer: XInput2 raw motion selected on the root window, over an X connection of its
// own that the main thread reads itself. (Everything that comes over Qt's connection,
// events and replies alike, first wakes Qt's reader thread, which then wakes the main
// thread: twice the wake-ups for every motion and every look.) A warp makes no raw
// motion; it shows only as Enter/Leave on the windows it crosses.
//
// Every raw event wakes the process, so the events are selected only while someone
// listens, and only from the master pointer (a slave device's motion would come twice:
// once from the device, once from the pointer it drives). A listener that knows nothing
// can matter for a while pauses; while every listener is paused the events wait unread in
// the socket, and on resuming a listener asks whether the pointer moved since its look.
class PointerMotion : public QObject {
  Q_OBJECT

 public:
  // The server's count of this connection's requests when something happened: a motion
  // stamped at or after a reading's stamp came after the reading.
  using Stamp = std::uint32_t;
  [[nodiscard]] static bool isAfter(Stamp motion, Stamp reading) {
    return static_cast<std::int32_t>(motion - reading) >= 0;
  }

  // The process-wide watcher. Null without a QGuiApplication on xcb.
  static PointerMotion* instance();
  ~PointerMotion() override;
  // False when the server has no XInput2: only Enter/Leave and polls tell of motion.
  [[nodiscard]] bool available() const { return m_available; }
  // Each listener turns the events on once and off once; they flow while any listens.
  void listen(bool on);
  // A listener stops hearing motion (true) or starts again (false), once each way.
  void pause(bool on);

  // The pointer on the screen, in the pixels Qt gives positions in, read now. False when
  // there is no display to ask.
  bool readPointer(std::int32_t& x, std::int32_t& y);
  // The stamp of the last reading; none when it was not read over this connection.
  [[nodiscard]] std::optional<Stamp> lastReading() const { return m_lastReading; }
  // Whether a motion came after the reading with this stamp (what waits is read first).
  bool movedSince(Stamp reading);
  // The same, from what has been read already: after a reading, every motion that came
  // before it.
  [[nodiscard]] bool movedAfter(Stamp reading) const {
    return m_lastMotion && isAfter(*m_lastMotion, reading);
  }

 signals:
  // A motion, stamped; one signal for all that arrived together.
  void moved(platform::PointerMotion::Stamp at);

 private:
  PointerMotion();
  void select(bool rawMotion);
  // Takes every event that waits, in xcb's queue and, unless `queuedOnly`, in the socket.
  // Returns whether a motion was among them.
  bool takeEvents(bool queuedOnly);
  void readSocket();
  // Emits moved() from the loop, once however often asked before it runs.
  void tellLater();
  void heed();
  void close();

  xcb_connection_t* m_connection = nullptr;
  std::uint32_t m_root = 0;
  std::uint8_t m_opcode = 0;
  std::unique_ptr<QSocketNotifier> m_notifier;
  bool m_available = false;
  int m_listeners = 0;
  int m_paused = 0;
  std::optional<Stamp> m_lastReading;
  std::optional<Stamp> m_lastMotion;
  bool m_tellPending = false;
};

}  // namespace platform
