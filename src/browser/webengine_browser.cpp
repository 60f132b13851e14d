#include "browser/webengine_browser.h"

#include "browser/certificate_prompt.h"
#include "browser/engine_profile.h"
#include "browser/external_prompt.h"
#include "browser/local_files.h"
#include "browser/page_properties.h"
#include "browser/start_page.h"
#include "browser/text_size.h"
#include "platform/desktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <QWindow>

#include <cmath>
#include <utility>

namespace browser {

namespace {

// Qt reports only the top document's load; frames announce their own completion
// through a console line carrying this per-process secret, from a script in an
// isolated world that page scripts cannot see or imitate.
const QString& frameCompleteToken() {
  static const QString token =
      QStringLiteral("hushleaf-frame-complete:%1:")
          .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
  return token;
}

// A page learns from window.open's null that its pop-up was refused; the window is told
// through a console line with a secret of its own. The secret is an argument of the outer
// function, so the source a page can read of the wrapper does not show it.
const QString& popupBlockedToken() {
  static const QString token =
      QStringLiteral("hushleaf-popup-blocked:%1")
          .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
  return token;
}

// A script of ours in every frame of the page's documents.
QWebEngineScript frameScript(const QString& name, QWebEngineScript::InjectionPoint at,
                             QWebEngineScript::ScriptWorldId world, const QString& source) {
  QWebEngineScript script;
  script.setName(name);
  script.setInjectionPoint(at);
  script.setWorldId(world);
  script.setRunsOnSubFrames(true);
  script.setSourceCode(source);
  return script;
}

QWebEngineScript popupBlockedScript() {
  // "noopener" opens a window and still answers null.
  return frameScript(QStringLiteral("hushleaf-popup-blocked"), QWebEngineScript::DocumentCreation,
                     QWebEngineScript::MainWorld,
                     QStringLiteral(R"((function (report, apply, test) {
  var open = window.open;
  var noOpener = /noopener|noreferrer/i;
  window.open = { open: function () {
    var w = apply(open, this, arguments);
    if (w === null && !apply(test, noOpener, [String(arguments[2])])) report();
    return w;
  } }.open;
})(console.log.bind(console, %1), Reflect.apply, RegExp.prototype.test);)")
                         .arg(QLatin1Char('"') + popupBlockedToken() + QLatin1Char('"')));
}

// WebRTC's connections are the engine's own sockets, past every request filter: an
// offline document gets no way to make one.
QWebEngineScript offlineScript() {
  return frameScript(
      QStringLiteral("hushleaf-offline"), QWebEngineScript::DocumentCreation,
      QWebEngineScript::MainWorld,
      QStringLiteral("for (const name of ['RTCPeerConnection', 'webkitRTCPeerConnection'])"
                     "  Object.defineProperty(window, name, {value: undefined});"));
}

QWebEngineScript frameCompleteScript() {
  return frameScript(QStringLiteral("hushleaf-frame-complete"), QWebEngineScript::DocumentReady,
                     QWebEngineScript::ApplicationWorld,
                     QStringLiteral(R"((function () {
  if (window === window.top) return;
  var report = function () { console.log(%1 + location.href); };
  if (document.readyState === 'complete') report(); else window.addEventListener('load', report);
})();)")
                         .arg(QLatin1Char('"') + frameCompleteToken() + QLatin1Char('"')));
}

// Hosts that have shown a certificate error in any window. Chromium keeps an accepted
// exception for the whole session and then stops reporting the error, so no later load
// of such a host, in any window, may show the padlock.
QSet<QString>& certificateErrorHosts() {
  static QSet<QString> hosts;
  return hosts;
}

bool isNetworkScheme(const QString& scheme) {
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
         scheme == QLatin1String("ftp") || scheme == QLatin1String("ws") ||
         scheme == QLatin1String("wss");
}

}  // namespace

// While offline, every network request of this page is blocked; the start page and
// local files are not network requests and still load.
class WebEngineBrowser::OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
 public:
  OfflineInterceptor(const WebEngineBrowser& engine, QObject* parent)
      : QWebEngineUrlRequestInterceptor(parent), m_engine(engine) {}

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    if (m_engine.isOffline() && isNetworkScheme(info.requestUrl().scheme().toLower())) {
      info.block(true);
    }
    if (!mayLoadLocalFile(info.requestUrl(), info.initiator(), info.firstPartyUrl(),
                          info.resourceType())) {
      info.block(true);
    }
  }

 private:
  const WebEngineBrowser& m_engine;
};

// Counts the time the engine spends inside one of its callbacks.
class WebEngineBrowser::CallOut {
 public:
  explicit CallOut(WebEngineBrowser& engine) : m_engine(&engine) { ++engine.m_callOuts; }
  ~CallOut() {
    if (!m_engine.isNull() && --m_engine->m_callOuts == 0) {
      emit m_engine->callOutsReturned();
    }
  }
  CallOut(const CallOut&) = delete;
  CallOut& operator=(const CallOut&) = delete;

 private:
  QPointer<WebEngineBrowser> m_engine;
};

class WebEngineBrowser::Page : public QWebEnginePage {
 public:
  Page(WebEngineBrowser& engine, QObject* parent)
      : QWebEnginePage(sharedProfile(), parent), m_engine(engine) {}

 protected:
  // The engine hands over another program's address only after a click (at most once per
  // click); it never goes to that program from here: the user is asked once this returns.
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    if (isEngineScheme(url.scheme().toLower())) {
      return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
    QMetaObject::invokeMethod(
        &m_engine, [engine = &m_engine, url] { engine->askOpenExternally(url); },
        Qt::QueuedConnection);
    return false;
  }

  // The engine sends the first request of a page it hands over past that page's own
  // filter, so an offline page gets no page for its pop-up: it is asked again with the
  // address (newWindowRequested), and the pop-up loads that itself, offline.
  QWebEnginePage* createWindow(WebWindowType /*type*/) override {
    if (m_engine.isOffline()) {
      return nullptr;
    }
    WebEngineBrowser* popup = m_engine.popupEngine();
    return popup != nullptr ? popup->m_page : nullptr;
  }

  void javaScriptAlert(const QUrl& /*origin*/, const QString& msg) override {
    m_engine.runPageDialog(PageDialog::Alert, msg, nullptr);
  }

  bool javaScriptConfirm(const QUrl& /*origin*/, const QString& msg) override {
    return m_engine.runPageDialog(PageDialog::Confirm, msg, nullptr);
  }

  bool javaScriptPrompt(const QUrl& /*origin*/, const QString& msg, const QString& defaultValue,
                        QString* result) override {
    QString text = defaultValue;
    if (!m_engine.runPageDialog(PageDialog::Prompt, msg, &text)) {
      return false;
    }
    *result = text;
    return true;
  }

  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override {
    if (quiet()) {
      return {};
    }
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
  }

  // Page console output is not ours to print; only the frame-complete line is read.
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel /*level*/, const QString& message,
                                int /*lineNumber*/, const QString& /*sourceID*/) override {
    if (message.startsWith(frameCompleteToken())) {
      emit m_engine.loadFinished(message.mid(frameCompleteToken().size()));
    } else if (message == popupBlockedToken()) {
      emit m_engine.popupBlocked();
    }
  }

 private:
  // A hidden window's page is silent whatever its own setting.
  [[nodiscard]] bool quiet() const { return m_engine.isSilent() || m_engine.isPageHidden(); }

  WebEngineBrowser& m_engine;
};

WebEngineBrowser::WebEngineBrowser(QWidget* parentWidget)
    : m_view(new QWebEngineView(parentWidget)) {
  // The page is made first so that it goes first: it refers to this engine.
  m_page = new Page(*this, m_view);
  setParent(m_view);
  m_page->setUrlRequestInterceptor(new OfflineInterceptor(*this, m_page));
  m_page->scripts().insert(frameCompleteScript());
  m_page->scripts().insert(popupBlockedScript());
  m_view->setPage(m_page);

  connect(m_page, &QWebEnginePage::newWindowRequested, this,
          [this](const QWebEngineNewWindowRequest& request) {
            if (!m_offline) {
              return;
            }
            if (WebEngineBrowser* popup = popupEngine()) {
              popup->load(request.requestedUrl().toString(QUrl::FullyEncoded));
            }
          });
  connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserEngine::titleChanged);
  connect(m_page, &QWebEnginePage::linkHovered, this,
          [this](const QString& url) { emit statusTextChanged(url); });
  connect(m_page, &QWebEnginePage::loadStarted, this, &WebEngineBrowser::onLoadStarted);
  connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
      emit statusTextChanged(tr("Opening page %1...").arg(info.url().toString()));
    }
  });
  connect(m_page, &QWebEnginePage::loadFinished, this, &WebEngineBrowser::onLoadFinished);
  connect(m_page, &QWebEnginePage::certificateError, this,
          [this](QWebEngineCertificateError error) {
            m_certificateErrorThisLoad = true;
            certificateErrorHosts().insert(error.url().host());
            // Fail closed: only the user, asked in so many words, lets such a page load,
            // and a silent browser asks nobody.
            if (m_silent || !error.isOverridable()) {
              error.rejectCertificate();
              return;
            }
            error.defer();
            if (m_pageHidden) {
              // Asked once the window is back; the site stays closed meanwhile.
              m_heldCertificateErrors.append(error);
              return;
            }
            askCertificateException(m_view->window(), error);
          });
  // A page's own print button prints as File > Print does: the user picks the printer.
  // A silent browser shows no dialogs, so it prints nothing.
  connect(m_page, &QWebEnginePage::printRequested, this, [this] {
    if (!m_silent && !m_pageHidden) {
      QTimer::singleShot(0, this, [this] { print(true); });
    }
  });
  connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int /*exitCode*/) {
            if (status == QWebEnginePage::NormalTerminationStatus) {
              return;
            }
            // The view keeps its last frame; the window, its history and its address
            // stay usable, and Refresh starts a new page process.
            emit statusTextChanged(tr(kPageProcessEnded));
          });
}

WebEngineBrowser::~WebEngineBrowser() {
  // A command's dialog still open goes first: it works on this engine's printer and page.
  if (!m_commandDialog.isNull()) {
    m_commandDialog->disconnect(this);
    delete m_commandDialog.data();
  }
  for (QWebEngineCertificateError& error : m_heldCertificateErrors) {
    error.rejectCertificate();
  }
}

QWebEnginePage* WebEngineBrowser::page() const { return m_page; }

WebEngineBrowser* WebEngineBrowser::forPage(const QWebEnginePage* page) {
  QWidget* view = page != nullptr ? QWebEngineView::forPage(page) : nullptr;
  return view != nullptr ? view->findChild<WebEngineBrowser*>(QString(), Qt::FindDirectChildrenOnly)
                         : nullptr;
}

void WebEngineBrowser::tellOnReturn(const QString& notice) {
  if (!m_noticesOnReturn.contains(notice)) {
    m_noticesOnReturn.append(notice);
  }
}

void WebEngineBrowser::setPageHidden(bool hidden) {
  if (hidden == m_pageHidden) {
    return;
  }
  m_pageHidden = hidden;
  if (hidden) {
    m_mutedBeforeHiding = m_page->isAudioMuted();
    m_page->setAudioMuted(true);
    // A frozen page's media stay paused once it is active again: what plays is noted
    // first, out of the page's sight, and freezing waits for that.
    m_page->runJavaScript(
        QStringLiteral("for (const m of document.querySelectorAll('video, audio'))"
                       "  m.hushleafPlaying = !m.paused && !m.ended;"),
        QWebEngineScript::ApplicationWorld,
        [this, page = QPointer<QWebEnginePage>(m_page)](const QVariant&) {
          // The view learns that its window is hidden a moment after a hide from the loop.
          if (page != nullptr && !freezeIfHidden()) {
            QTimer::singleShot(0, this, &WebEngineBrowser::freezeIfHidden);
          }
        });
    return;
  }
  m_page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
  m_page->setAudioMuted(m_mutedBeforeHiding);
  m_page->runJavaScript(
      QStringLiteral(
          "for (const m of document.querySelectorAll('video, audio'))"
          "  if (m.hushleafPlaying) { m.hushleafPlaying = false; m.play().catch(() => {}); }"),
      QWebEngineScript::ApplicationWorld);
  if (!m_noticesOnReturn.isEmpty()) {
    emit statusTextChanged(m_noticesOnReturn.join(QStringLiteral("; ")));
    m_noticesOnReturn.clear();
  }
  // Asked from the loop, once the window's own show has begun.
  const QList<QWebEngineCertificateError> held = std::exchange(m_heldCertificateErrors, {});
  for (const QWebEngineCertificateError& error : held) {
    QTimer::singleShot(0, this, [this, error] {
      if (m_pageHidden) {
        m_heldCertificateErrors.append(error);
      } else {
        askCertificateException(m_view->window(), error);
      }
    });
  }
}

QWidget* WebEngineBrowser::widget() const { return m_view; }

QString WebEngineBrowser::searchPageAddress() { return QStringLiteral("https://duckduckgo.com/"); }

QUrl WebEngineBrowser::urlFromInput(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) {
    return QUrl(QStringLiteral("about:blank"));
  }
  static const QStringList kKnownSchemes = {
      QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
      QStringLiteral("res"),  QStringLiteral("about"), QStringLiteral("view-source"),
      QStringLiteral("data"), QStringLiteral("ftp"),   QStringLiteral("javascript"),
  };
  const QUrl direct(trimmed, QUrl::TolerantMode);
  if (direct.isValid() && kKnownSchemes.contains(direct.scheme().toLower())) {
    return direct;
  }
  const QUrl guessed = QUrl::fromUserInput(trimmed);
  return guessed.isValid() ? guessed : QUrl(QStringLiteral("about:blank"));
}

void WebEngineBrowser::load(const QString& url) { m_page->load(urlFromInput(url)); }

bool WebEngineBrowser::back() {
  if (!m_page->history()->canGoBack()) {
    return false;
  }
  m_page->triggerAction(QWebEnginePage::Back);
  return true;
}

bool WebEngineBrowser::forward() {
  if (!m_page->history()->canGoForward()) {
    return false;
  }
  m_page->triggerAction(QWebEnginePage::Forward);
  return true;
}

void WebEngineBrowser::home() { load(currentStartPageAddress()); }

void WebEngineBrowser::search() { load(searchPageAddress()); }

void WebEngineBrowser::stop() { m_page->triggerAction(QWebEnginePage::Stop); }

void WebEngineBrowser::reload() { m_page->triggerAction(QWebEnginePage::Reload); }

QString WebEngineBrowser::url() const {
  const QUrl url = m_page->url();
  QString address = url.toString();
  // QUrl keeps the start page's "\" percent-encoded; the address is reported as it was
  // built, so that the box, the history and Favorites show the very text that loads it.
  if (url.scheme() == QLatin1String("res")) {
    address.replace(QLatin1String("%5C"), QLatin1String("\\"), Qt::CaseInsensitive);
  }
  return address;
}

QString WebEngineBrowser::title() const {
  const QString title = m_page->title();
  return title.isEmpty() ? url() : title;
}

void WebEngineBrowser::focusPage() { m_view->setFocus(Qt::OtherFocusReason); }

bool WebEngineBrowser::freezeIfHidden() {
  if (m_pageHidden && !m_page->isVisible() &&
      m_page->lifecycleState() == QWebEnginePage::LifecycleState::Active) {
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
  }
  return !m_pageHidden || m_page->lifecycleState() == QWebEnginePage::LifecycleState::Frozen;
}

bool WebEngineBrowser::isEngineScheme(const QString& scheme) {
  static const QStringList kShownHere = {
      QStringLiteral("http"),         QStringLiteral("https"),  QStringLiteral("file"),
      QStringLiteral("data"),         QStringLiteral("blob"),   QStringLiteral("about"),
      QStringLiteral("res"),          QStringLiteral("qrc"),    QStringLiteral("view-source"),
      QStringLiteral("chrome-error"), QStringLiteral("chrome"), QStringLiteral("filesystem"),
      QStringLiteral("javascript"),
  };
  return kShownHere.contains(scheme);
}

bool WebEngineBrowser::mayOpenExternally() const {
  // Nothing leaves while offline or hidden, and a silent browser asks nobody.
  if (m_offline || m_silent || m_pageHidden) {
    return false;
  }
  return m_mayOpenExternally ? m_mayOpenExternally() : m_view->window()->isVisible();
}

void WebEngineBrowser::askOpenExternally(const QUrl& url) {
  if (!mayOpenExternally()) {
    // Nothing to ask now; the status bar says why the click did nothing.
    const QString notice =
        tr("No other program was started for this \"%1:\" address.").arg(url.scheme());
    if (m_pageHidden) {
      tellOnReturn(notice);
    } else {
      emit statusTextChanged(notice);
    }
    return;
  }
  browser::askOpenExternally(m_view->window(), url, [this, url] {
    // Still so once the user has answered.
    if (mayOpenExternally()) {
      platform::openExternally(url);
    }
  });
}

void WebEngineBrowser::windowClosing() {
  m_closing = true;
  if (!m_pageDialog.isNull()) {
    m_pageDialog->reject();
  }
  if (!m_dialogWait.isNull()) {
    m_dialogWait->quit();
  }
}

bool WebEngineBrowser::popupAllowed() const { return !m_closing; }

WebEngineBrowser* WebEngineBrowser::popupEngine() {
  const CallOut busy(*this);
  if (m_pageHidden) {
    tellOnReturn(tr("Pop-up blocked"));
    return nullptr;
  }
  if (!popupAllowed()) {
    emit popupBlocked();
    return nullptr;
  }
  BrowserEngine* target = nullptr;
  bool cancel = false;
  emit newWindowRequested(&target, &cancel);
  auto* engine = qobject_cast<WebEngineBrowser*>(target);
  // Handing back this very engine would let the pop-up replace the opener's page.
  if (cancel || engine == nullptr || engine == this) {
    return nullptr;
  }
  return engine;
}

bool WebEngineBrowser::runPageDialog(PageDialog kind, const QString& message, QString* text) {
  const CallOut busy(*this);
  if (m_silent || m_pageHidden || m_closing) {
    return false;
  }
  const QString host = m_page->url().host();
  if (host != m_dialogHost) {
    m_dialogHost = host;
    m_dialogsShown = 0;
    m_dialogsSuppressed = false;
  }
  if (m_dialogsSuppressed) {
    return false;
  }
  QWidget* window = m_view->window();
  // The keyboard stays with the window the user is in: the page waits for its own.
  if (!window->isActiveWindow()) {
    QEventLoop wait;
    m_dialogWait = &wait;
    const auto check = [&wait, window] {
      if (window->isActiveWindow()) {
        wait.quit();
      }
    };
    connect(qApp, &QGuiApplication::focusWindowChanged, &wait, check);
    // Activation can come without a change of Qt's focus window (the window manager
    // hands focus back): a slow look too, while a dialog waits.
    QTimer look;
    connect(&look, &QTimer::timeout, &wait, check);
    look.start(250);
    wait.exec();
    if (m_closing || m_silent || m_pageHidden) {
      return false;
    }
  }
  auto* dialog = new QDialog(window);
  dialog->setObjectName(QStringLiteral("PageDialog"));
  dialog->setWindowTitle(host.isEmpty() ? tr("Message from the page")
                                        : tr("Message from %1").arg(host));
  auto* layout = new QVBoxLayout(dialog);
  auto* label = new QLabel(dialog);
  label->setTextFormat(Qt::PlainText);
  label->setText(message);
  label->setWordWrap(true);
  layout->addWidget(label);
  QLineEdit* field = nullptr;
  if (kind == PageDialog::Prompt) {
    field = new QLineEdit(text != nullptr ? *text : QString(), dialog);
    field->setAccessibleName(message);
    layout->addWidget(field);
  }
  QCheckBox* noMore = nullptr;
  if (m_dialogsShown > 0) {
    noMore = new QCheckBox(tr("Don't let this page open more dialogs"), dialog);
    noMore->setObjectName(QStringLiteral("NoMoreDialogs"));
    layout->addWidget(noMore);
  }
  auto* buttons = new QDialogButtonBox(kind == PageDialog::Alert
                                           ? QDialogButtonBox::Ok
                                           : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                       dialog);
  connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);
  // Over this window only: every other window goes on working.
  dialog->setWindowModality(Qt::WindowModal);
  m_pageDialog = dialog;
  QEventLoop loop;
  connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog->open();
  loop.exec();
  if (m_pageDialog.isNull()) {
    return false;
  }
  ++m_dialogsShown;
  const bool accepted = dialog->result() == QDialog::Accepted;
  if (noMore != nullptr && noMore->isChecked()) {
    m_dialogsSuppressed = true;
  }
  if (field != nullptr && text != nullptr) {
    *text = field->text();
  }
  delete dialog;
  // The user answered in this window: the keyboard goes back to its page, whatever window
  // (or none) the window manager falls back to, so the page's next dialog need not wait.
  // A hidden window is never asked to the front.
  if (!m_closing && !m_pageHidden && window->isVisible()) {
    window->activateWindow();
  }
  return accepted && !m_closing;
}

void WebEngineBrowser::onLoadStarted() {
  m_certificateErrorThisLoad = false;
  // The padlock of the page before does not stand for the one coming.
  m_loadedSecurely = false;
  emit securityChanged(Security::Unsecure);
  emit loadStarted();
}

void WebEngineBrowser::onLoadFinished(bool ok) {
  m_contentType.clear();
  m_page->runJavaScript(QStringLiteral("document.contentType"), QWebEngineScript::ApplicationWorld,
                        [this](const QVariant& type) { m_contentType = type.toString(); });
  // Chromium remembers zoom per host; the level is ours and follows the window.
  const double factor = kTextSizeFactors[static_cast<std::size_t>(m_textSizeLevel)];
  if (std::abs(m_view->zoomFactor() - factor) > 1e-6) {
    m_view->setZoomFactor(factor);
  }
  // An error page (offline, refused, unresolved) came over no connection at all.
  m_loadedSecurely = ok && currentPageSecure();
  emit securityChanged(m_loadedSecurely ? Security::Secure : Security::Unsecure);
  emit statusTextChanged(tr("Done"));
  // Error pages are documents too; the address box records what was asked for.
  emit loadFinished(url());
  // A load that went on while the window hid wakes the page; it sleeps again.
  freezeIfHidden();
}

bool WebEngineBrowser::currentPageSecure() const {
  const QUrl url = m_page->url();
  return url.scheme() == QLatin1String("https") && !m_certificateErrorThisLoad &&
         !certificateErrorHosts().contains(url.host());
}

void WebEngineBrowser::triggerAction(QWebEnginePage::WebAction action) {
  m_page->triggerAction(action);
}

bool WebEngineBrowser::run(PageCommand command) {
  switch (command) {
    case PageCommand::SaveAs:
      return saveAs();
    case PageCommand::Print:
      return print(true);
    case PageCommand::PrintWithoutAsking:
      return print(false);
    case PageCommand::PrintPreview:
      return printPreview();
    case PageCommand::PageSetup:
      return pageSetup();
    case PageCommand::Properties:
      return showProperties();
  }
  return false;
}

bool WebEngineBrowser::setTextSize(int level) {
  if (level < 0 || level >= kTextSizeLevels) {
    return false;
  }
  m_textSizeLevel = level;
  m_view->setZoomFactor(kTextSizeFactors[static_cast<std::size_t>(level)]);
  return true;
}

QPrinter& WebEngineBrowser::printer() {
  // One printer per engine: it keeps the page setup and must outlive an asynchronous print.
  if (!m_printer) {
    // The engine hands each printed page over as an image at the printer's resolution: at
    // the 1200 dpi of QPrinter::HighResolution a long page's preview took most of a minute
    // and gigabytes. 300 dpi prints text as sharp as an office printer shows it.
    m_printer = std::make_unique<QPrinter>();
    m_printer->setResolution(kPrintDotsPerInch);
  }
  return *m_printer;
}

void WebEngineBrowser::openCommandDialog(QDialog* dialog, std::function<void(int)> done) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  m_commandDialog = dialog;
  // The engine as context: a window closed meanwhile takes the answer with it.
  connect(dialog, &QDialog::finished, this, std::move(done));
  dialog->open();
}

bool WebEngineBrowser::print(bool ask) {
  if (m_printing) {
    return false;
  }
  QPrinter& p = printer();
  const PageCommand command = ask ? PageCommand::Print : PageCommand::PrintWithoutAsking;
  // With no printer and no file to print to, "without asking" would print into nowhere
  // and still look done; the user is asked where to print instead.
  const bool hasTarget = p.outputFormat() == QPrinter::PdfFormat ? !p.outputFileName().isEmpty()
                                                                 : !p.printerName().isEmpty();
  // Busy while the dialog asks too: one print at a time, asked for or not.
  m_printing = true;
  if (!ask && hasTarget) {
    startPrint(command);
    return true;
  }
  openCommandDialog(new QPrintDialog(&p, m_view->window()), [this, command](int result) {
    if (result != QDialog::Accepted) {
      m_printing = false;
      emit commandEnded(command, false);
      return;
    }
    startPrint(command);
  });
  return true;
}

void WebEngineBrowser::setOffline(bool offline) {
  if (offline == m_offline) {
    return;
  }
  m_offline = offline;
  const QWebEngineScript script = offlineScript();
  if (offline) {
    m_page->scripts().insert(script);
    // The document already shown loses it too; one loaded online again gets it back.
    m_page->runJavaScript(script.sourceCode(), QWebEngineScript::MainWorld);
  } else {
    for (const QWebEngineScript& old : m_page->scripts().find(script.name())) {
      m_page->scripts().remove(old);
    }
  }
}

void waitForPrint(QWebEngineView& view) {
  QEventLoop loop;
  QObject::connect(&view, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
  QObject::connect(view.page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
  loop.exec();
}

void WebEngineBrowser::startPrint(PageCommand command) {
  // Qt's printFinished never comes when the page's process ends meanwhile: that ends the
  // print too. Both connections go with the watch once one has come.
  auto* watch = new QObject(this);
  const auto end = [this, command, watch](bool done) {
    delete watch;
    m_printing = false;
    emit commandEnded(command, done);
  };
  connect(m_view, &QWebEngineView::printFinished, watch, end);
  connect(m_page, &QWebEnginePage::renderProcessTerminated, watch, [end] { end(false); });
  m_view->print(&printer());
}

bool WebEngineBrowser::printPreview() {
  if (m_printing) {
    return false;
  }
  auto* dialog = new QPrintPreviewDialog(&printer(), m_view->window());
  connect(dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
    // The preview takes its pages when this returns; the engine prints asynchronously, and
    // Qt offers the preview no later delivery.
    m_printing = true;
    m_view->print(target);
    waitForPrint(*m_view);
    m_printing = false;
  });
  // Shown is done: closing the preview cancels nothing.
  openCommandDialog(dialog, [this](int) { emit commandEnded(PageCommand::PrintPreview, true); });
  return true;
}

bool WebEngineBrowser::pageSetup() {
  // Qt's page setup on X11 hands the user's choices to the printer only from exec(); a
  // dialog opened with open() would lose them.
  QPageSetupDialog dialog(&printer(), m_view->window());
  emit commandEnded(PageCommand::PageSetup, dialog.exec() == QDialog::Accepted);
  return true;
}

bool WebEngineBrowser::saveAs() {
  QString name = m_page->title().trimmed();
  name.replace(QRegularExpression(QStringLiteral(R"([/\\:*?"<>|\x00-\x1f])")), QStringLiteral("_"));
  if (name.isEmpty()) {
    name = QStringLiteral("page");
  }
  const QString complete = tr("Web Page, complete (*.htm *.html)");
  const QString htmlOnly = tr("Web Page, HTML only (*.htm *.html)");
  const QString archive = tr("Web Archive, single file (*.mht *.mhtml)");
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  auto* dialog = new QFileDialog(m_view->window(), tr("Save Web Page"), dir,
                                 complete + ";;" + htmlOnly + ";;" + archive);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->selectFile(dir + QLatin1Char('/') + name + ".htm");
  dialog->selectNameFilter(complete);
  openCommandDialog(dialog, [this, dialog, htmlOnly, archive](int result) {
    const QString path = dialog->selectedFiles().value(0);
    if (result != QDialog::Accepted || path.isEmpty()) {
      emit commandEnded(PageCommand::SaveAs, false);
      return;
    }
    const QString selected = dialog->selectedNameFilter();
    QWebEngineDownloadRequest::SavePageFormat format =
        QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
    if (selected == htmlOnly) {
      format = QWebEngineDownloadRequest::SingleHtmlSaveFormat;
    } else if (selected == archive) {
      format = QWebEngineDownloadRequest::MimeHtmlSaveFormat;
    }
    m_page->save(path, format);
    emit commandEnded(PageCommand::SaveAs, true);
  });
  return true;
}

bool WebEngineBrowser::showProperties() {
  auto* dialog = new QDialog(m_view->window());
  dialog->setWindowTitle(tr("Properties"));
  auto* form = new QFormLayout(dialog);
  const auto rows = describePage(url(), m_page->title(), m_contentType, m_loadedSecurely);
  for (const auto& [label, value] : rows) {
    auto* field = new QLabel(value, dialog);
    // The page's own title and address: never read as markup that could forge a line.
    field->setTextFormat(Qt::PlainText);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    field->setWordWrap(true);
    field->setAccessibleName(label.chopped(1));
    form->addRow(label, field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
  connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  form->addRow(buttons);
  dialog->setMinimumWidth(420);
  openCommandDialog(dialog, [this](int) { emit commandEnded(PageCommand::Properties, true); });
  return true;
}

}  // namespace browser
