#pragma once
// Shared pieces of the engine suites: an engine in a real top-level window, loads that
// wait for the page, scripts that return their value, and a watcher for modal dialogs.
#include "browser/webengine_browser.h"
#include "support/wait.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <functional>
#include <memory>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace enginetest {

// One engine filling its own shown window, as a browser window hosts it.
struct EngineWindow {
  EngineWindow() : window(std::make_unique<QWidget>()) {
    engine = new browser::WebEngineBrowser(window.get());
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(engine->widget());
    window->resize(800, 600);
    window->show();
  }

  [[nodiscard]] QWebEnginePage* page() const { return engine->page(); }

  std::unique_ptr<QWidget> window;
  browser::WebEngineBrowser* engine = nullptr;  // owned by its view inside window
};

// Navigates and waits for the top document; returns the load's success (false on timeout).
inline bool load(browser::WebEngineBrowser* engine, const QString& address, int timeoutMs = 15000) {
  QSignalSpy finished(engine->page(), &QWebEnginePage::loadFinished);
  engine->Navigate(address);
  if (!testsupport::waitUntil([&] { return finished.count() > 0; }, timeoutMs)) {
    return false;
  }
  return finished.last().value(0).toBool();
}

// The result of a script in the page's main world; invalid when it gives none in time.
inline QVariant runJs(QWebEnginePage* page, const QString& script) {
  // The callback may come after a timeout, so it must not write into this frame.
  struct Result {
    QVariant value;
    bool done = false;
  };
  const auto result = std::make_shared<Result>();
  page->runJavaScript(script, [result](const QVariant& v) {
    result->value = v;
    result->done = true;
  });
  testsupport::waitUntil([&] { return result->done; }, 10000);
  return result->value;
}

// Calls handle(widget) for every modal widget that shows up while it lives; handle
// must close the widget. Polls from a timer, so it also runs inside nested loops.
class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> handle) : m_handle(std::move(handle)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal->isVisible() && modal != m_last) {
        m_last = modal;
        ++m_seen;
        m_handle(modal);
      } else if (modal == nullptr) {
        m_last = nullptr;
      }
    });
    m_timer.start(20);
  }

  [[nodiscard]] int seen() const { return m_seen; }

 private:
  std::function<void(QWidget*)> m_handle;
  QTimer m_timer;
  QPointer<QWidget> m_last;
  int m_seen = 0;
};

}  // namespace enginetest
