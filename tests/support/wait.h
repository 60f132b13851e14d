#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

#include <functional>

namespace testsupport {

// Runs the event loop until the predicate holds or the time is up; returns the predicate.
inline bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 15000) {
  QDeadlineTimer deadline(timeoutMs);
  while (!predicate()) {
    if (deadline.hasExpired()) {
      return predicate();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

// Runs the event loop for a while.
inline void pump(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}

}  // namespace testsupport
