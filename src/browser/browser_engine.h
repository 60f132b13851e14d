#pragma once

#include <QObject>
#include <QString>
#include <QWebEnginePage>

class QWidget;

namespace browser {

// The page commands that open a dialog of the program's own; the engine's plain actions
// (Back, Copy, Paste...) go through triggerAction.
enum class PageCommand {
  SaveAs,
  Print,
  // Prints to the chosen printer without a dialog, asking only when none is chosen.
  PrintWithoutAsking,
  PrintPreview,
  PageSetup,
  Properties,
};

// Whether the page shown came over a secure connection (the status bar's padlock).
enum class Security { Unsecure, Secure };

inline constexpr int kTextSizeLevels = 5;
inline constexpr int kDefaultTextSizeLevel = 2;

// The web engine as the program uses it: these operations and events and no others.
// Failures are reported as a false result; every caller ignores them.
// Events are raised on the user-interface thread.
class BrowserEngine : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~BrowserEngine() override = default;

  virtual void load(const QString& url) = 0;
  virtual bool back() = 0;
  virtual bool forward() = 0;
  virtual void home() = 0;
  virtual void search() = 0;
  virtual void stop() = 0;
  virtual void reload() = 0;
  [[nodiscard]] virtual QString url() const = 0;
  // The page's title, or its address while it has none.
  [[nodiscard]] virtual QString title() const = 0;

  virtual void triggerAction(QWebEnginePage::WebAction action) = 0;
  // Starts the command: false when it is refused (a print is still going). Its dialog
  // shows without waiting; commandEnded tells how it ended.
  virtual bool run(PageCommand command) = 0;
  // One of the kTextSizeLevels levels, Smallest to Largest; false for no such level.
  virtual bool setTextSize(int level) = 0;
  [[nodiscard]] virtual int textSize() const = 0;

  [[nodiscard]] virtual bool isOffline() const = 0;
  virtual void setOffline(bool offline) = 0;
  [[nodiscard]] virtual bool isSilent() const = 0;
  virtual void setSilent(bool silent) = 0;

  // While its window is hidden the page shows nothing and sounds nothing: it is silent,
  // muted and frozen, its pop-ups and downloads are refused and its certificate questions
  // wait; brought back it is as it was, and what was refused is told in the status text.
  [[nodiscard]] virtual bool isPageHidden() const = 0;
  virtual void setPageHidden(bool hidden) = 0;

  virtual void focusPage() = 0;
  [[nodiscard]] virtual QWidget* widget() const = 0;

 signals:
  void statusTextChanged(const QString& text);
  void titleChanged(const QString& text);
  // target: set to the engine that is to take the new page; cancel: set true to refuse.
  // Connect directly: the request is answered when the signal returns.
  void newWindowRequested(browser::BrowserEngine** target, bool* cancel);
  void loadFinished(const QString& url);
  void securityChanged(browser::Security security);
  void loadStarted();
  // A pop-up of this page was refused (the page asked without the user's click or key,
  // or more than once for one).
  void popupBlocked();
  // A command run() started has ended: done when it was carried out (not cancelled in
  // its dialog, not cut short by the page's process ending).
  void commandEnded(browser::PageCommand command, bool done);
};

}  // namespace browser
