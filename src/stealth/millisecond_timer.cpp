#include "stealth/millisecond_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdint>

namespace stealth {

namespace {

void arm(int fd, long firstNs, long periodNs) {
  itimerspec when{};
  when.it_value.tv_nsec = firstNs;
  when.it_interval.tv_nsec = periodNs;
  timerfd_settime(fd, 0, &when, nullptr);
}

}  // namespace

MillisecondTimer::MillisecondTimer()
    : m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
  if (m_fd >= 0) {
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &MillisecondTimer::expired);
  } else {
    m_fallback.setInterval(1);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &MillisecondTimer::timeout);
  }
}

MillisecondTimer::~MillisecondTimer() {
  m_notifier.reset();
  if (m_fd >= 0) {
    close(m_fd);
  }
}

void MillisecondTimer::start(std::chrono::nanoseconds first) {
  if (m_active) {
    return;
  }
  m_active = true;
  if (m_fd >= 0) {
    // At least 1 ns: a first expiry of zero would disarm it.
    arm(m_fd, std::clamp<long>(static_cast<long>(first.count()), 1, 999'999'999), 1'000'000);
  } else {
    m_fallback.start();
  }
}

void MillisecondTimer::stop() {
  m_active = false;
  if (m_fd >= 0) {
    arm(m_fd, 0, 0);  // also forgets expirations not read yet
  } else {
    m_fallback.stop();
  }
}

void MillisecondTimer::expired() {
  std::uint64_t expirations = 0;
  // Several expirations at once are ticks missed while the loop was busy: one tick.
  if (read(m_fd, &expirations, sizeof expirations) == sizeof expirations && m_active) {
    emit timeout();
  }
}

}  // namespace stealth
