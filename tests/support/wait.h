#pragma once

#include <QTest>

#include <functional>

namespace testsupport {

// Runs the event loop until the predicate holds or the time is up; returns the predicate.
inline bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 15000) {
  return QTest::qWaitFor(predicate, timeoutMs);
}

// Runs the event loop for a while (only where no condition can be waited for).
inline void pump(int ms) { QTest::qWait(ms); }

}  // namespace testsupport
