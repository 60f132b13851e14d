#pragma once
// Pages in the suites: loads that wait for the document, scripts that return their value.

#include "support/wait.h"

#include <QSignalSpy>
#include <QVariant>
#include <QWebEnginePage>

#include <functional>
#include <memory>
#include <utility>

namespace testsupport {

// Runs `start` (a navigation of the page, by whatever path the caller tests) and waits for
// the top document; returns whether it loaded: false for an error page and on timeout.
inline bool load(QWebEnginePage* page, const std::function<void()>& start, int timeoutMs = 15000) {
  QSignalSpy finished(page, &QWebEnginePage::loadFinished);
  start();
  return waitUntil([&] { return !finished.isEmpty(); }, timeoutMs) &&
         finished.last().value(0).toBool();
}

// The value of a script in the page's main world; invalid when none comes in time.
inline QVariant runJs(QWebEnginePage* page, const QString& script) {
  // The answer may come after the timeout, so it must not write into this frame.
  auto result = std::make_shared<std::pair<QVariant, bool>>();
  page->runJavaScript(script, [result](const QVariant& v) { *result = {v, true}; });
  waitUntil([&] { return result->second; }, 10000);
  return result->first;
}

}  // namespace testsupport
