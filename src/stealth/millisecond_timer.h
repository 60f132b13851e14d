#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class QSocketNotifier;

namespace stealth {

// A 1 ms timer whose tick n falls at start + n ms on the monotonic clock, whatever each
// tick costs: a periodic timerfd read through the event loop. (A QTimer counts in whole
// milliseconds from the moment it is armed, so its ticks come 1 to 2 ms apart.) Ticks
// the loop was too busy to take are dropped, never fired back to back.
class MillisecondTimer : public QObject {
  Q_OBJECT

 public:
  MillisecondTimer();
  MillisecondTimer(const MillisecondTimer&) = delete;
  MillisecondTimer& operator=(const MillisecondTimer&) = delete;
  ~MillisecondTimer() override;

  // The first tick after `first` (0: as soon as the event loop comes round), then one
  // every millisecond.
  void start(std::chrono::nanoseconds first = std::chrono::nanoseconds::zero());
  void stop();
  [[nodiscard]] bool isActive() const noexcept { return m_active; }

 signals:
  void timeout();

 private:
  void expired();

  int m_fd = -1;
  std::unique_ptr<QSocketNotifier> m_notifier;
  QTimer m_fallback;  // without a timerfd
  bool m_active = false;
};

}  // namespace stealth
