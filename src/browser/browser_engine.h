#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;

namespace browser {

// Dispatch ids of the engine's automation interface; they cross our engine
// interface unchanged so callers read like the operations they invoke.
enum class DispId : int {
  GoBack = 100,
  GoForward = 101,
  GoHome = 102,
  GoSearch = 103,
  Navigate = 104,
  Stop = 106,
  LocationName = 210,
  LocationURL = 211,
  ExecWB = 502,
  Offline = 550,
  Silent = 551,
  RegisterAsBrowser = 552,
  Refresh = -550,
};

// OLECMDID values accepted by ExecWB.
namespace olecmdid {
inline constexpr int SaveAs = 4;
inline constexpr int Print = 6;
inline constexpr int PrintPreview = 7;
inline constexpr int PageSetup = 8;
inline constexpr int Properties = 10;
inline constexpr int Cut = 11;
inline constexpr int Copy = 12;
inline constexpr int Paste = 13;
inline constexpr int Undo = 15;
inline constexpr int SelectAll = 17;
inline constexpr int Zoom = 19;
}  // namespace olecmdid

// OLECMDEXECOPT values.
namespace olecmdexecopt {
inline constexpr int DoDefault = 0;
inline constexpr int DontPromptUser = 2;
}  // namespace olecmdexecopt

// Secure lock levels raised by securityChanged.
namespace securelock {
inline constexpr int Unsecure = 0;
inline constexpr int Mixed = 1;
inline constexpr int SecureUnknownBits = 2;
}  // namespace securelock

inline constexpr int kTextSizeLevels = 5;
inline constexpr int kDefaultTextSizeLevel = 2;

// The web-browser control as the program uses it: these operations and events and
// no others. Failures are reported as a false result; every caller ignores them.
// Events are raised on the user-interface thread.
class BrowserEngine : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~BrowserEngine() override = default;

  virtual void Navigate(const QString& url) = 0;
  virtual bool GoBack() = 0;
  virtual bool GoForward() = 0;
  virtual void GoHome() = 0;
  virtual void GoSearch() = 0;
  virtual void Stop() = 0;
  virtual void Refresh() = 0;
  [[nodiscard]] virtual QString LocationURL() const = 0;
  [[nodiscard]] virtual QString LocationName() const = 0;

  // in: optional in value; out: receives the out value where the command has one.
  virtual bool ExecWB(int cmdId, int cmdExecOpt, const QVariant* in = nullptr,
                      QVariant* out = nullptr) = 0;

  [[nodiscard]] virtual bool Offline() const = 0;
  virtual void setOffline(bool offline) = 0;
  [[nodiscard]] virtual bool Silent() const = 0;
  virtual void setSilent(bool silent) = 0;
  [[nodiscard]] virtual bool RegisterAsBrowser() const = 0;
  virtual void setRegisterAsBrowser(bool value) = 0;

  // While its window is hidden the page shows nothing and sounds nothing: it is silent,
  // muted and frozen, its pop-ups and downloads are refused and its certificate questions
  // wait; brought back it is as it was, and what was refused is told in the status text.
  [[nodiscard]] virtual bool isPageHidden() const = 0;
  virtual void setPageHidden(bool hidden) = 0;

  // Host-side operations on the control.
  virtual void SetFocus() = 0;
  [[nodiscard]] virtual QWidget* widget() const = 0;

  // Parameterless operations by dispatch id (toolbar and menu commands).
  bool invoke(DispId id);

 signals:
  void statusTextChanged(const QString& text);
  void titleChanged(const QString& text);
  // target: set to the engine that is to take the new page; cancel: set true to refuse.
  // Connect directly: the request is answered when the signal returns.
  void newWindowRequested(browser::BrowserEngine** target, bool* cancel);
  void loadFinished(const QString& url);
  void securityChanged(int secureLockIcon);
  void loadStarted();
  // A pop-up of this page was refused (the page asked without the user's click or key,
  // or more than once for one).
  void popupBlocked();
};

}  // namespace browser
