#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <string>
#include <type_traits>

namespace testsupport {

// Runs the event loop until the predicate holds or the time is up; returns the predicate.
// The loop waits for events rather than sleeping: QTest::qWaitFor sleeps 10 ms between
// rounds, and the page engine, whose every step is a task on this thread, then takes
// seconds for a page. The predicate is looked at only between rounds at this level, never
// inside a modal window's own loop, as with qWaitFor.
inline bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 15000) {
  QTimer tick;  // wakes the wait now and then when nothing else comes
  tick.start(5);
  const QDeadlineTimer deadline(timeoutMs);
  while (!predicate()) {
    if (deadline.hasExpired()) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    // Windows closed while waiting go as they would at the top level.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

// Runs the event loop for a while (only where no condition can be waited for).
inline void pump(int ms) {
  const QDeadlineTimer until(ms);
  waitUntil([&] { return until.hasExpired(); }, ms + 1000);
}

// A value as a failure message shows it.
template <typename T>
std::string describe(const T& value) {
  if constexpr (std::is_convertible_v<T, QString>) {
    return '"' + QString(value).toStdString() + '"';
  } else if constexpr (std::is_same_v<T, QByteArray>) {
    return '"' + value.toStdString() + '"';
  } else if constexpr (std::is_same_v<T, QStringList>) {
    return "{" + value.join(QStringLiteral(", ")).toStdString() + "}";
  } else if constexpr (std::is_same_v<T, QUrl>) {
    return value.toString().toStdString();
  } else if constexpr (std::is_same_v<T, QVariant>) {
    return value.toString().toStdString();
  } else {
    return ::testing::PrintToString(value);
  }
}

// Waits until read() equals want; on timeout the failure names the expression and what
// it last read.
template <typename Read, typename Want>
::testing::AssertionResult eventuallyEqual(const char* expression, const Read& read,
                                           const Want& want, int timeoutMs = 15000) {
  auto last = read();
  if (waitUntil(
          [&] {
            last = read();
            return last == want;
          },
          timeoutMs)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << expression << " is " << describe(last) << " after "
                                       << timeoutMs << " ms, not " << describe(want);
}

}  // namespace testsupport

// EXPECT_EVENTUALLY_EQ(actual, expected[, timeoutMs]): runs the event loop until `actual`
// equals `expected`; the failure says what `actual` last was. More may be streamed in.
#define HUSHLEAF_EVENTUALLY_EQ_(fail, actual, expected, ...)                                   \
  switch (0)                                                                                   \
  case 0:                                                                                      \
  default:                                                                                     \
    if (const ::testing::AssertionResult hushleaf_eventually = ::testsupport::eventuallyEqual( \
            #actual, [&] { return (actual); }, (expected)__VA_OPT__(, ) __VA_ARGS__);          \
        hushleaf_eventually)                                                                   \
      ;                                                                                        \
    else                                                                                       \
      fail() << hushleaf_eventually.message() << '\n'
#define EXPECT_EVENTUALLY_EQ(actual, expected, ...) \
  HUSHLEAF_EVENTUALLY_EQ_(ADD_FAILURE, actual, expected __VA_OPT__(, ) __VA_ARGS__)
#define ASSERT_EVENTUALLY_EQ(actual, expected, ...) \
  HUSHLEAF_EVENTUALLY_EQ_(GTEST_FAIL, actual, expected __VA_OPT__(, ) __VA_ARGS__)
