#pragma once
// Pages in the suites: loads that wait for the document, scripts that return their value.

#include "support/wait.h"

#include <QSignalSpy>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <functional>
#include <memory>
#include <utility>

namespace testsupport {

// Waits until the page has drawn a frame of its document, as a user sees it before a click:
// the engine drops input that comes before. A page whose script holds a dialog open draws
// nothing; the wait then ends after two seconds without a word.
inline void waitShown(QWebEnginePage* page) {
  constexpr auto kWorld = QWebEngineScript::ApplicationWorld;
  page->runJavaScript(QStringLiteral("requestAnimationFrame(() => requestAnimationFrame(() => "
                                     "{ window.hushleafShown = true; }))"),
                      kWorld);
  struct Look {
    bool shown = false;
    bool asking = false;
  };
  auto look = std::make_shared<Look>();  // answers may come after the wait
  waitUntil(
      [&] {
        if (!look->asking) {
          look->asking = true;
          page->runJavaScript(QStringLiteral("window.hushleafShown === true"), kWorld,
                              [look](const QVariant& v) {
                                look->shown = v.toBool();
                                look->asking = false;
                              });
        }
        return look->shown;
      },
      2000);
}

// Runs `start` (a navigation of the page, by whatever path the caller tests) and waits for
// the top document and its first frame; returns whether it loaded: false for an error page
// and on timeout.
inline bool load(QWebEnginePage* page, const std::function<void()>& start, int timeoutMs = 15000) {
  QSignalSpy finished(page, &QWebEnginePage::loadFinished);
  start();
  if (!waitUntil([&] { return !finished.isEmpty(); }, timeoutMs) ||
      !finished.last().value(0).toBool()) {
    return false;
  }
  waitShown(page);
  return true;
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
