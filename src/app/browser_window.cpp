#include "app/browser_window.h"

#include "app/command_table.h"
#include "app/hide_all.h"
#include "app/icons.h"
#include "browser/address_box.h"
#include "browser/find_bar.h"
#include "browser/page_commands.h"
#include "browser/page_properties.h"
#include "browser/webengine_browser.h"
#include "favorites/favorites_menu.h"
#include "platform/app_title.h"
#include "platform/window_opacity.h"
#include "platform/x11.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMargins>
#include <QMenuBar>
#include <QPointer>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace app {

namespace {

QList<QPointer<BrowserWindow>>& registry() {
  static QList<QPointer<BrowserWindow>> windows;
  return windows;
}

QPointer<BrowserWindow>& mainWindowSlot() {
  static QPointer<BrowserWindow> main;
  return main;
}

// The window's inner size below the menu bar when it opens.
constexpr int kClientWidthPx = 581;
constexpr int kClientHeightPx = 416;
constexpr int kStatusBarHeightPx = 21;
constexpr int kToolbarRowHeightPx = 40;
constexpr int kAddressRowHeightPx = 21;
// The page leaves the window's last column and two rows above the status bar bare.
constexpr QMargins kPageMargins(0, 0, 1, 2);

}  // namespace

// One filter for the whole application, so an event passes one filter however many
// windows are open: the window's keys over the page's own, and the mouse's back and
// forward buttons, each handed to the window concerned.
class WindowEventFilter : public QObject {
 public:
  static void install() {
    static WindowEventFilter* filter = nullptr;
    if (filter == nullptr) {
      filter = new WindowEventFilter(qApp);
      qApp->installEventFilter(filter);
    }
  }

 protected:
  // `watched` is only ever compared as a pointer: the engine's own objects come through
  // here too and carry no type information to ask.
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ShortcutOverride:
        return pageKey(static_cast<QKeyEvent*>(event));
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
        return historyButton(watched, static_cast<QMouseEvent*>(event));
      default:
        return false;
    }
  }

 private:
  using QObject::QObject;

  // The page claims some of the window's keys for its editing (Ctrl+U underlines, Ctrl+A
  // selects): in a browser window they run the window's command. The find bar's field,
  // over the page, keeps its own.
  static bool pageKey(QKeyEvent* key) {
    QWidget* focus = QApplication::focusWidget();
    auto* w = focus != nullptr ? qobject_cast<BrowserWindow*>(focus->window()) : nullptr;
    if (w == nullptr || !isWindowKey(key->keyCombination())) {
      return false;
    }
    const QWidget* view = w->m_engine->widget();
    const bool onPage = focus == view || view->isAncestorOf(focus);
    if (!onPage || w->m_findBar->isAncestorOf(focus)) {
      return false;
    }
    key->ignore();
    return true;
  }

  // The mouse's back and forward buttons, over the page too: taken once, where the press
  // reaches the widget under the pointer. The release is kept from the page as well, which
  // would otherwise take another step of its own.
  static bool historyButton(const QObject* watched, const QMouseEvent* mouse) {
    if (mouse->button() != Qt::BackButton && mouse->button() != Qt::ForwardButton) {
      return false;
    }
    QWidget* under = QApplication::widgetAt(mouse->globalPosition().toPoint());
    auto* w = under != nullptr ? qobject_cast<BrowserWindow*>(under->window()) : nullptr;
    if (w == nullptr || static_cast<const QObject*>(under) != watched) {
      return false;
    }
    if (mouse->type() == QEvent::MouseButtonPress) {
      if (mouse->button() == Qt::BackButton) {
        w->m_engine->back();
      } else {
        w->m_engine->forward();
      }
    }
    return true;
  }
};

WindowEvents& WindowEvents::instance() {
  static WindowEvents events;
  return events;
}

BrowserWindow::BrowserWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  // The application title as it is now: empty while a window is hidden.
  setWindowTitle(platform::AppTitle::get());
  setWindowIcon(applicationIcon());
  registry().append(this);
  if (mainWindowSlot().isNull() && registry().size() == 1) {
    mainWindowSlot() = this;
  }
  buildControls();
  buildMenus();
  connectEngine();
  WindowEventFilter::install();
  resize(kClientWidthPx, kClientHeightPx + menuBar()->sizeHint().height());
  // The user may make the window smaller than its bars; the page then has no room left.
  setMinimumSize(1, 1);
  initWindow();
}

BrowserWindow::~BrowserWindow() {
  registry().removeAll(QPointer<BrowserWindow>(this));
  registry().removeAll(QPointer<BrowserWindow>());
  if (registry().isEmpty()) {
    emit WindowEvents::instance().lastWindowUnloaded();
  }
}

BrowserWindow* BrowserWindow::mainWindow() { return mainWindowSlot().data(); }

QList<BrowserWindow*> BrowserWindow::windows() {
  QList<BrowserWindow*> out;
  for (const auto& w : registry()) {
    if (!w.isNull()) {
      out.append(w.data());
    }
  }
  return out;
}

void BrowserWindow::buildControls() {
  // The bands above the page, one fixed tool bar of the window: the toolbar row, then the
  // address row.
  auto* toolBarArea = new QToolBar(this);
  toolBarArea->setObjectName(QStringLiteral("CoolBar1"));
  toolBarArea->setAccessibleName(tr("Toolbars"));
  toolBarArea->setMovable(false);
  toolBarArea->setFloatable(false);
  toolBarArea->layout()->setContentsMargins(0, 0, 0, 0);
  // Not one the user can hide from the window's context menu.
  toolBarArea->toggleViewAction()->setVisible(false);
  auto* bands = new QWidget(toolBarArea);
  bands->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* rows = new QVBoxLayout(bands);
  rows->setContentsMargins(0, 2, 0, 3);
  rows->setSpacing(2);

  // Band 1: the toolbar with its eight buttons and the slider.
  m_toolBar = new QToolBar(bands);
  m_toolBar->setObjectName(QStringLiteral("Toolbar1"));
  m_toolBar->setAccessibleName(tr("Navigation"));
  buildToolbar();
  // Only after the buttons: setting the toolbar up clears its minimum height.
  m_toolBar->setFixedHeight(kToolbarRowHeightPx);
  rows->addWidget(m_toolBar);

  // Bands 2 and 3: the address box with its caption, then the Go button.
  auto* addressRow = new QWidget(bands);
  addressRow->setFixedHeight(kAddressRowHeightPx);
  auto* address = new QHBoxLayout(addressRow);
  address->setContentsMargins(0, 0, 4, 0);
  address->setSpacing(4);
  auto* caption = new QLabel(tr("  Address  "), addressRow);
  m_addressBox = new browser::AddressBox(addressRow);
  m_addressBox->setWindowKeys(&isWindowKey);
  m_addressBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  caption->setBuddy(m_addressBox);
  m_goButton = new QToolButton(addressRow);
  m_goButton->setObjectName(QStringLiteral("cmdGo"));
  m_goButton->setAccessibleName(tr("Go"));
  m_goButton->setToolTip(tr("Go"));
  m_goButton->setIcon(goIcon());
  m_goButton->setAutoRaise(true);
  m_goButton->setFixedSize(20, 18);
  address->addWidget(caption);
  address->addWidget(m_addressBox, 1);
  address->addWidget(m_goButton);
  rows->addWidget(addressRow);
  toolBarArea->addWidget(bands);
  addToolBar(Qt::TopToolBarArea, toolBarArea);

  auto* pageArea = new QWidget(this);
  auto* engine = new browser::WebEngineBrowser(pageArea);
  m_engine = engine;
  m_engine->widget()->setObjectName(QStringLiteral("WebBrowser1"));
  m_engine->widget()->setAccessibleName(tr("Page"));
  auto* page = new QVBoxLayout(pageArea);
  page->setContentsMargins(kPageMargins);
  page->addWidget(m_engine->widget());
  setCentralWidget(pageArea);
  // A window the user cannot see starts no other program for its page.
  engine->setMayOpenExternally([this] { return isVisible(); });
  m_findBar = new browser::FindBar(*engine);
  m_commands = std::make_unique<browser::PageCommands>(*m_engine, *m_addressBox, m_findBar);
  // The Go button and Enter load the box's text unchanged.
  connect(m_goButton, &QToolButton::clicked, this,
          [this] { m_engine->load(m_addressBox->currentText()); });
  connect(m_addressBox, &browser::AddressBox::navigateRequested, m_engine,
          &browser::BrowserEngine::load);

  m_statusBar = new QStatusBar(this);
  m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
  m_statusBar->setAccessibleName(tr("Status bar"));
  m_statusBar->setSizeGripEnabled(false);
  // The panel's accessible name is the text it shows.
  m_statusText = new QLabel(m_statusBar);
  m_statusText->setObjectName(QStringLiteral("StatusPanel1"));
  // Link addresses and engine texts come from the page: shown as text, never as markup.
  m_statusText->setTextFormat(Qt::PlainText);
  m_securityIcon = new QLabel(m_statusBar);
  m_securityIcon->setObjectName(QStringLiteral("StatusPanel2"));
  m_securityIcon->setAccessibleName(tr("Secure connection"));
  m_securityIcon->setPixmap(padlockIcon().pixmap(16, 16));
  m_securityIcon->setToolTip(tr("Secure connection"));
  // Nothing is known to be secure before the first page says so.
  m_securityIcon->hide();
  m_statusBar->addWidget(m_statusText, 1);
  m_statusBar->addPermanentWidget(m_securityIcon);
  m_statusBar->setFixedHeight(kStatusBarHeightPx);
  setStatusBar(m_statusBar);
}

void BrowserWindow::connectEngine() {
  connect(m_engine, &browser::BrowserEngine::statusTextChanged, this,
          &BrowserWindow::showStatusText);
  connect(m_engine, &browser::BrowserEngine::titleChanged, this, &BrowserWindow::showPageTitle);
  connect(m_engine, &browser::BrowserEngine::newWindowRequested, this,
          &BrowserWindow::createPopupWindow, Qt::DirectConnection);
  connect(m_engine, &browser::BrowserEngine::loadFinished, m_addressBox,
          &browser::AddressBox::pageLoaded);
  connect(m_engine, &browser::BrowserEngine::securityChanged, this, &BrowserWindow::showSecurity);
  connect(m_addressBox, &browser::AddressBox::captionReset, this,
          [this] { showCaption([] { return platform::AppTitle::get(); }); });
  connect(m_autoHide.get(), &stealth::AutoHideController::hiddenChanged, this,
          &BrowserWindow::hiddenChanged);
  // A hide-all key that cannot be held is told where the user looks.
  connect(&HideAll::instance(), &HideAll::problemChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) {
      m_statusText->setText(text);
    }
  });
  connect(m_engine, &browser::BrowserEngine::popupBlocked, this, [this] {
    m_popupBlocked = true;
    m_statusText->setText(tr("Pop-up blocked"));
  });
  connect(m_engine, &browser::BrowserEngine::loadStarted, this, [this] { m_popupBlocked = false; });
}

void BrowserWindow::initWindow() {
  m_fileDialog = std::make_unique<dialogs::OpenSaveDialog>();
  m_opacitySlider->setToolTip(tr("Transparency"));
  m_opacitySlider->setValue(m_opacitySlider->maximum());
  action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(false);
  // Favorites goes left of Help, the last menu, as in other browsers.
  auto* favoritesMenu = new favorites::FavoritesMenu(this, m_engine);
  favoritesMenu->addPageAction()->setShortcuts(keysOf(u"Favorites/Add to Favorites"));
  menuBar()->insertMenu(menuBar()->actions().constLast(), favoritesMenu);
}

// ---- Close and unload -------------------------------------------------------------

void BrowserWindow::closeEvent(QCloseEvent* event) {
  unload();
  event->accept();
  auto* engine = static_cast<browser::WebEngineBrowser*>(m_engine);
  engine->windowClosing();
  if (engine->callingOut()) {
    // The engine is inside one of its callbacks (a page dialog): the window goes once the
    // call has returned, not under it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(engine, &browser::WebEngineBrowser::callOutsReturned, this, &QObject::deleteLater,
            Qt::QueuedConnection);
  }
}

bool BrowserWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  // Qt holds the window manager's close back from a window a modal dialog blocks. A
  // dialog the page put up must not keep its window open: the window closes, and with
  // it the dialog.
  // Every X event of the window comes through here: the cheap test first.
  if (static_cast<browser::WebEngineBrowser*>(m_engine)->showsPageDialog() &&
      eventType == "xcb_generic_event_t" && platform::x11::isCloseRequest(message)) {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
    return true;
  }
  return QMainWindow::nativeEvent(eventType, message, result);
}

void BrowserWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Still unmapped here: an empty caption is made to read empty before the map.
  if (windowTitle().isEmpty()) {
    platform::setCaption(this, QString());
  }
}

void BrowserWindow::unload() {
  if (m_unloaded) {
    return;
  }
  m_unloaded = true;
  m_fileDialog.reset();
  m_autoHide->unload();
  platform::setOpacity(this, platform::kOpaqueLevel);
}

// ---- AutoHide and transparency ---------------------------------------------------

void BrowserWindow::applyOpacity() { platform::setOpacity(this, m_opacitySlider->value()); }

// ---- Page events ------------------------------------------------------------------

void BrowserWindow::showStatusText(const QString& text) {
  // The end of the load does not hide that a pop-up of this page was refused.
  if (m_popupBlocked && text == browser::WebEngineBrowser::tr("Done")) {
    m_statusText->setText(tr("Pop-up blocked"));
    return;
  }
  m_statusText->setText(browser::trimSpaces(text));
}

void BrowserWindow::showPageTitle(const QString& text) {
  showCaption([title = browser::trimSpaces(text)] {
    return title + QStringLiteral(" - ") + platform::AppTitle::get();
  });
}

void BrowserWindow::showCaption(std::function<QString()> build) {
  m_caption = std::move(build);
  if (!m_autoHide->isHidden()) {
    platform::setCaption(this, m_caption());
  }
}

void BrowserWindow::hiddenChanged(bool hidden) { m_engine->setPageHidden(hidden); }

void BrowserWindow::showSecurity(browser::Security security) {
  const bool secure = security == browser::Security::Secure;
  m_securityIcon->setVisible(secure);
  // The address box keeps what was typed; the padlock names the site it stands for,
  // which after a redirect is another one.
  const QString host = QUrl(m_engine->url()).host();
  const QString says =
      secure && !host.isEmpty() ? tr("Secure connection to %1").arg(host) : tr("Secure connection");
  m_securityIcon->setToolTip(says);
  m_securityIcon->setAccessibleDescription(says);
}

int BrowserWindow::newWindowLevel() const {
  const BrowserWindow* main = mainWindow();
  return main != nullptr ? main->m_opacitySlider->value() : m_opacitySlider->value();
}

void BrowserWindow::takeLevel(int level) {
  platform::setOpacity(this, level);
  m_opacitySlider->setValue(level);
}

void BrowserWindow::copyPageSettings(const BrowserWindow& from) {
  m_engine->setSilent(from.m_engine->isSilent());
  // Offline goes with the window's pages: nothing leaves a window made from an offline one.
  m_engine->setOffline(from.m_engine->isOffline());
  action(QStringLiteral("File/Work Offline"))->setChecked(m_engine->isOffline());
}

void BrowserWindow::openWindow(const QString& url, bool silent) {
  const int level = newWindowLevel();
  // No events run while the window is made.
  auto* window = new BrowserWindow();
  window->m_engine->setSilent(silent);
  window->m_engine->load(url);
  window->show();
  window->takeLevel(level);
}

void BrowserWindow::createPopupWindow(browser::BrowserEngine** target, bool* cancel) {
  // The engine waits inside its callback for the answer: no events may run here, or a
  // close queued by the user would free the opener's page under it.
  *cancel = true;
  if (m_unloaded) {
    return;
  }
  const int level = newWindowLevel();
  auto* window = new BrowserWindow();
  window->copyPageSettings(*this);
  *target = window->m_engine;
  window->show();
  window->takeLevel(level);
  *cancel = false;
}

}  // namespace app
