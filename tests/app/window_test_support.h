#pragma once
// Shared pieces of the browser-window suites: the page behind a window, scripts that
// return their value, loads that wait for the document.
#include "app/frm_browser.h"
#include "browser/webengine_browser.h"
#include "support/wait.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QVariant>
#include <QWebEnginePage>

#include <memory>
#include <utility>

namespace windowtest {

inline QWebEnginePage* pageOf(const frmBrowser* w) {
  return static_cast<browser::WebEngineBrowser*>(w->WebBrowser1)->page();
}

// The result of a script in the window's page, as text; empty when none comes in time.
inline QString runJs(const frmBrowser* w, const QString& script) {
  // The callback may come after a timeout, so it must not write into this frame.
  auto result = std::make_shared<std::pair<QString, bool>>();
  pageOf(w)->runJavaScript(script, [result](const QVariant& v) { *result = {v.toString(), true}; });
  testsupport::waitUntil([&] { return result->second; }, 10000);
  return result->first;
}

// Navigates the engine and waits for the document (error pages are documents too).
inline bool loadAndWait(frmBrowser* w, const QString& url, int timeoutMs = 15000) {
  QSignalSpy done(w->WebBrowser1, &browser::BrowserEngine::DocumentComplete);
  w->WebBrowser1->Navigate(url);
  return testsupport::waitUntil([&] { return done.count() > 0; }, timeoutMs);
}

// As a user does it: the address typed into the box, then Go.
inline bool goTo(frmBrowser* w, const QString& url) {
  QSignalSpy done(w->WebBrowser1, &browser::BrowserEngine::DocumentComplete);
  w->txtURL->setEditText(url);
  w->cmdGo_Click();
  return testsupport::waitUntil([&] { return done.count() > 0; });
}

}  // namespace windowtest
