#pragma once
// Shared pieces of the window suites: controls found by their object names, the page
// behind a window, scripts that return their value, loads that wait for the document.
#include "app/frm_browser.h"
#include "browser/address_box.h"
#include "browser/webengine_browser.h"
#include "support/page.h"
#include "support/wait.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QVariant>
#include <QWebEnginePage>

namespace windowtest {

inline browser::AddressBox* box(const frmBrowser* w) {
  return w->findChild<browser::AddressBox*>(QStringLiteral("txtURL"));
}
inline QLineEdit* edit(const frmBrowser* w) { return box(w)->lineEdit(); }
inline QSlider* slider(const frmBrowser* w) {
  return w->findChild<QSlider*>(QStringLiteral("Slider1"));
}
inline QLabel* label(const frmBrowser* w, const char* name) {
  return w->findChild<QLabel*>(QLatin1String(name));
}

inline QWebEnginePage* pageOf(const frmBrowser* w) {
  return static_cast<browser::WebEngineBrowser*>(w->engine())->page();
}

// The result of a script in the window's page, as text; empty when none comes in time.
inline QString runJs(const frmBrowser* w, const QString& script) {
  return testsupport::runJs(pageOf(w), script).toString();
}

// Navigates the engine and waits for the document (error pages are documents too).
inline bool loadAndWait(frmBrowser* w, const QString& url, int timeoutMs = 15000) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
  w->engine()->Navigate(url);
  return testsupport::waitUntil([&] { return done.count() > 0; }, timeoutMs);
}

// As a user does it: the address typed into the box, then Enter.
inline bool goTo(frmBrowser* w, const QString& url) {
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
  edit(w)->setText(url);
  emit box(w)->navigateRequested(url);
  return testsupport::waitUntil([&] { return done.count() > 0; });
}

}  // namespace windowtest
