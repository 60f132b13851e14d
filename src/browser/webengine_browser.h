#pragma once

#include "browser/browser_engine.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWebEngineCertificateError>

#include <functional>
#include <memory>

class QDialog;
class QEventLoop;
class QPrinter;
class QWebEnginePage;
class QWebEngineView;

namespace browser {

// Waits in place until the view's print has finished or its page's process has ended:
// Qt's printFinished never comes for a page whose process ended meanwhile.
void waitForPrint(QWebEngineView& view);

// BrowserEngine on Qt WebEngine. The engine object lives as long as its view: it is
// a child of the view, so destroying the view (or its window) releases both.
class WebEngineBrowser : public BrowserEngine {
  Q_OBJECT

 public:
  // What printing and its preview draw at.
  static constexpr int kPrintDotsPerInch = 300;

  // The view is created as a child of parentWidget (top-level when null).
  explicit WebEngineBrowser(QWidget* parentWidget);
  ~WebEngineBrowser() override;

  void load(const QString& url) override;
  bool back() override;
  bool forward() override;
  void home() override;
  void search() override;
  void stop() override;
  void reload() override;
  [[nodiscard]] QString url() const override;
  [[nodiscard]] QString title() const override;
  void triggerAction(QWebEnginePage::WebAction action) override;
  bool run(PageCommand command) override;
  bool setTextSize(int level) override;
  [[nodiscard]] int textSize() const override { return m_textSizeLevel; }
  [[nodiscard]] bool isOffline() const override { return m_offline; }
  void setOffline(bool offline) override;
  [[nodiscard]] bool isSilent() const override { return m_silent; }
  void setSilent(bool silent) override { m_silent = silent; }
  [[nodiscard]] bool isPageHidden() const override { return m_pageHidden; }
  void setPageHidden(bool hidden) override;
  void focusPage() override;
  [[nodiscard]] QWidget* widget() const override;

  [[nodiscard]] QWebEngineView* view() const { return m_view; }
  [[nodiscard]] QWebEnginePage* page() const;

  // The engine that shows this page; null for a page no browser window holds.
  static WebEngineBrowser* forPage(const QWebEnginePage* page);
  // Something the page was refused while hidden, told in the status text once it is back.
  void tellOnReturn(const QString& notice);
  // Asked before an address of another program's scheme may go to that program: false
  // refuses without a question. By default, while the view's window is shown.
  void setMayOpenExternally(std::function<bool()> allowed) {
    m_mayOpenExternally = std::move(allowed);
  }

  // Whether the engine shows addresses of this scheme itself (everything else belongs to
  // another program).
  static bool isEngineScheme(const QString& scheme);

  // The printer Print, Page Setup and Print Preview use; it keeps the user's choices
  // from one print to the next.
  QPrinter& printer();

  // The status text after the page's process ended abnormally.
  static constexpr const char* kPageProcessEnded =
      "The page stopped working. Click Refresh to load it again.";

  // The address search() opens.
  static QString searchPageAddress();

  // Turns a typed address into the URL the engine loads ("example.org" gets http://).
  static QUrl urlFromInput(const QString& text);

  // Whether the engine is inside one of its callbacks (a pop-up being made, a page dialog).
  // Its window must not be deleted until callOutsReturned.
  [[nodiscard]] bool callingOut() const { return m_callOuts > 0; }
  // Whether one of the page's dialogs (alert, confirm, prompt) is up over the window.
  [[nodiscard]] bool showsPageDialog() const { return !m_pageDialog.isNull(); }
  // The window is closing: a page dialog showing or waiting ends as cancel would, and
  // the page gets no more pop-ups or dialogs.
  void windowClosing();

 signals:
  // The last callback the engine was in has returned.
  void callOutsReturned();

 private:
  class Page;
  class OfflineInterceptor;
  class CallOut;
  friend class Page;

  // The one place that decides whether this page may have the pop-up it asks for; the
  // engine has already refused those without a click or key.
  [[nodiscard]] bool popupAllowed() const;
  // The engine of the window made for this page's pop-up, or null when it is refused.
  WebEngineBrowser* popupEngine();
  // Freezes the page if its window is hidden and the engine lets it; true when it is not
  // hidden or frozen.
  bool freezeIfHidden();
  void askOpenExternally(const QUrl& url);
  [[nodiscard]] bool mayOpenExternally() const;
  enum class PageDialog { Alert, Confirm, Prompt };
  // A page's alert, confirm or prompt, over this window only; true when answered with OK.
  bool runPageDialog(PageDialog kind, const QString& message, QString* text);
  void onLoadStarted();
  void onLoadFinished(bool ok);
  // Shows a command's dialog over the window without waiting; done gets its result.
  void openCommandDialog(QDialog* dialog, std::function<void(int)> done);
  bool print(bool ask);
  void startPrint(PageCommand command);
  bool printPreview();
  bool pageSetup();
  bool saveAs();
  bool showProperties();
  [[nodiscard]] bool currentPageSecure() const;

  QWebEngineView* m_view;  // owns this engine
  Page* m_page = nullptr;
  std::unique_ptr<QPrinter> m_printer;
  bool m_printing = false;
  bool m_offline = false;
  bool m_silent = false;
  bool m_certificateErrorThisLoad = false;
  bool m_pageHidden = false;
  // Whether the page was muted before hiding muted it.
  bool m_mutedBeforeHiding = false;
  QStringList m_noticesOnReturn;
  // Certificate questions that came while hidden, deferred until the window is back.
  QList<QWebEngineCertificateError> m_heldCertificateErrors;
  // The last load finished over https without a certificate error.
  bool m_loadedSecurely = false;
  int m_textSizeLevel = kDefaultTextSizeLevel;
  QString m_contentType;
  std::function<bool()> m_mayOpenExternally;
  int m_callOuts = 0;
  bool m_closing = false;
  QPointer<QDialog> m_pageDialog;
  QPointer<QDialog> m_commandDialog;
  QPointer<QEventLoop> m_dialogWait;
  // Page dialogs of the page on this host: how many were shown, and whether the user
  // asked for no more.
  QString m_dialogHost;
  int m_dialogsShown = 0;
  bool m_dialogsSuppressed = false;
};

}  // namespace browser
