#include "app/frm_browser.h"

#include "app/cool_bar.h"
#include "app/hide_all.h"
#include "app/icons.h"
#include "app/keyboard.h"
#include "app/layout.h"
#include "browser/address_box.h"
#include "browser/find_bar.h"
#include "browser/page_commands.h"
#include "browser/page_properties.h"
#include "browser/webengine_browser.h"
#include "favorites/mod_faves.h"
#include "platform/app_title.h"
#include "stealth/transparent.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
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

QList<QPointer<frmBrowser>>& registry() {
  static QList<QPointer<frmBrowser>> windows;
  return windows;
}

QPointer<frmBrowser>& mainWindowSlot() {
  static QPointer<frmBrowser> main;
  return main;
}

constexpr int kStatusBarHeightPx = 21;   // 315 twips
constexpr int kToolbarRowHeightPx = 40;  // 600 twips
constexpr int kAddressRowHeightPx = 21;  // 315 twips

}  // namespace

// One filter for the whole application, so an event passes one filter however many
// windows are open: key preview for the native window of each browser window, the mouse's
// back and forward buttons, and the page's find key, each handed to the window concerned.
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
      case QEvent::KeyPress:
        if (frmBrowser* w = byNativeWindow(watched)) {
          return keyPreview(*w, static_cast<QKeyEvent*>(event));
        }
        return pageKey(event);
      case QEvent::ShortcutOverride:
        return pageKey(event);
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

  // Qt may replace a window's native window while showing, so it is matched at each key.
  static frmBrowser* byNativeWindow(const QObject* watched) {
    for (const auto& w : registry()) {
      if (!w.isNull() && w->windowHandle() != nullptr &&
          static_cast<const QObject*>(w->windowHandle()) == watched) {
        return w.data();
      }
    }
    return nullptr;
  }

  static frmBrowser* focusedWindow() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? qobject_cast<frmBrowser*>(focus->window()) : nullptr;
  }

  // Key preview: the native window receives every key before the focused control does.
  static bool keyPreview(frmBrowser& w, const QKeyEvent* key) {
    int keyCode = key->key();
    int shift = shiftState(key->modifiers());
    w.Form_KeyDown(keyCode, shift);
    return keyCode == 0 && shift == 0;
  }

  // A key on its way to the focused control of a browser window.
  static bool pageKey(QEvent* event) {
    frmBrowser* w = focusedWindow();
    if (w == nullptr) {
      return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride && key->key() == Qt::Key_U &&
        key->modifiers() == Qt::ControlModifier) {
      // The page would take Ctrl+U for underlining; in a browser window it means View Source.
      event->ignore();
      return true;
    }
    return w->m_findBar != nullptr && w->m_findBar->pageKey(event);
  }

  // The mouse's back and forward buttons, over the page too: taken once, where the press
  // reaches the widget under the pointer. The release is kept from the page as well, which
  // would otherwise take another step of its own.
  static bool historyButton(const QObject* watched, const QMouseEvent* mouse) {
    if (mouse->button() != Qt::BackButton && mouse->button() != Qt::ForwardButton) {
      return false;
    }
    QWidget* under = QApplication::widgetAt(mouse->globalPosition().toPoint());
    auto* w = under != nullptr ? qobject_cast<frmBrowser*>(under->window()) : nullptr;
    if (w == nullptr || static_cast<const QObject*>(under) != watched) {
      return false;
    }
    if (mouse->type() == QEvent::MouseButtonPress) {
      w->WebBrowser1->invoke(mouse->button() == Qt::BackButton ? browser::DispId::GoBack
                                                               : browser::DispId::GoForward);
    }
    return true;
  }
};

WindowEvents& WindowEvents::instance() {
  static WindowEvents events;
  return events;
}

// The window's client area: everything below the menu bar. Its size is the
// ScaleWidth/ScaleHeight the layout rules work from.
class frmBrowser::ClientArea : public QWidget {
 public:
  explicit ClientArea(frmBrowser& owner) : QWidget(&owner), m_owner(owner) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    m_owner.Form_Resize();
  }

 private:
  frmBrowser& m_owner;
};

frmBrowser::frmBrowser() {
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
  resize(twips::toPixels(kClientWidthTwips),
         twips::toPixels(kClientHeightTwips) + menuBar()->sizeHint().height());
  Form_Load();
}

frmBrowser::~frmBrowser() {
  registry().removeAll(QPointer<frmBrowser>(this));
  registry().removeAll(QPointer<frmBrowser>());
  if (registry().isEmpty()) {
    emit WindowEvents::instance().lastWindowUnloaded();
  }
}

frmBrowser* frmBrowser::mainWindow() { return mainWindowSlot().data(); }

QList<frmBrowser*> frmBrowser::windows() {
  QList<frmBrowser*> out;
  for (const auto& w : registry()) {
    if (!w.isNull()) {
      out.append(w.data());
    }
  }
  return out;
}

void frmBrowser::buildControls() {
  m_client = new ClientArea(*this);
  setCentralWidget(m_client);

  CoolBar1 = new CoolBar(m_client);
  CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
  CoolBar1->setAccessibleName(QStringLiteral("Toolbars"));
  auto* rows = new QVBoxLayout(CoolBar1);
  rows->setContentsMargins(0, 2, 0, 3);
  rows->setSpacing(2);

  // Band 1: the toolbar with its eight buttons and the slider.
  Toolbar1 = new QToolBar(CoolBar1);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1->setAccessibleName(QStringLiteral("Navigation"));
  Toolbar1->setFixedHeight(kToolbarRowHeightPx);
  buildToolbar();
  rows->addWidget(Toolbar1);

  // Bands 2 and 3: the address box with its caption, then the Go button.
  auto* addressRow = new QWidget(CoolBar1);
  addressRow->setFixedHeight(kAddressRowHeightPx);
  auto* address = new QHBoxLayout(addressRow);
  address->setContentsMargins(0, 0, 4, 0);
  address->setSpacing(4);
  auto* caption = new QLabel(QStringLiteral("  Address  "), addressRow);
  txtURL = new browser::AddressBox(addressRow);
  txtURL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  caption->setBuddy(txtURL);
  cmdGo = new QToolButton(addressRow);
  cmdGo->setObjectName(QStringLiteral("cmdGo"));
  cmdGo->setAccessibleName(QStringLiteral("Go"));
  cmdGo->setToolTip(QStringLiteral("Go"));
  cmdGo->setIcon(goIcon());
  cmdGo->setAutoRaise(true);
  cmdGo->setFixedSize(20, 18);
  address->addWidget(caption);
  address->addWidget(txtURL, 1);
  address->addWidget(cmdGo);
  rows->addWidget(addressRow);
  CoolBar1->setFixedHeight(CoolBar1->sizeHint().height());
  connect(CoolBar1, &CoolBar::heightChanged, this,
          [this](int px) { CoolBar1_HeightChanged(twips::fromPixels(px)); });

  auto* engine = new browser::WebEngineBrowser(m_client);
  WebBrowser1 = engine;
  WebBrowser1->widget()->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->widget()->setAccessibleName(QStringLiteral("Page"));
  // A window the user cannot see starts no other program for its page.
  engine->setMayOpenExternally([this] { return isVisible(); });
  m_findBar = new browser::FindBar(*engine);
  m_commands = std::make_unique<browser::PageCommands>(*WebBrowser1, *txtURL, m_findBar);
  // The Go button and Enter load the box's text unchanged.
  connect(cmdGo, &QToolButton::clicked, this,
          [this] { WebBrowser1->Navigate(txtURL->currentText()); });
  connect(txtURL, &browser::AddressBox::navigateRequested, WebBrowser1,
          &browser::BrowserEngine::Navigate);
  connect(txtURL, &browser::AddressBox::stopRequested, WebBrowser1,
          [this] { WebBrowser1->invoke(browser::DispId::Stop); });

  StatusBar1 = new QStatusBar(m_client);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setAccessibleName(QStringLiteral("Status bar"));
  StatusBar1->setSizeGripEnabled(false);
  // The panel's accessible name is the text it shows.
  StatusPanel1 = new QLabel(StatusBar1);
  StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
  // Link addresses and engine texts come from the page: shown as text, never as markup.
  StatusPanel1->setTextFormat(Qt::PlainText);
  StatusPanel2 = new QLabel(StatusBar1);
  StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
  StatusPanel2->setAccessibleName(QStringLiteral("Secure connection"));
  StatusPanel2->setPixmap(padlockIcon().pixmap(16, 16));
  StatusPanel2->setToolTip(QStringLiteral("Secure connection"));
  // Nothing is known to be secure before the first page says so.
  StatusPanel2->hide();
  StatusBar1->addWidget(StatusPanel1, 1);
  StatusBar1->addPermanentWidget(StatusPanel2);
}

void frmBrowser::connectEngine() {
  connect(WebBrowser1, &browser::BrowserEngine::StatusTextChange, this,
          &frmBrowser::WebBrowser1_StatusTextChange);
  connect(WebBrowser1, &browser::BrowserEngine::TitleChange, this,
          &frmBrowser::WebBrowser1_TitleChange);
  connect(WebBrowser1, &browser::BrowserEngine::NewWindow2, this,
          &frmBrowser::WebBrowser1_NewWindow2, Qt::DirectConnection);
  connect(WebBrowser1, &browser::BrowserEngine::DocumentComplete, txtURL,
          &browser::AddressBox::documentComplete);
  connect(WebBrowser1, &browser::BrowserEngine::SetSecureLockIcon, this,
          &frmBrowser::WebBrowser1_SetSecureLockIcon);
  connect(txtURL, &browser::AddressBox::captionReset, this,
          [this] { showCaption([] { return platform::AppTitle::get(); }); });
  connect(m_zodorAzev.get(), &stealth::ZodorAzevAdapter::hiddenChanged, this,
          &frmBrowser::hiddenChanged);
  // A hide-all key that cannot be held is told where the user looks.
  connect(&HideAll::instance(), &HideAll::problemChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) {
      StatusPanel1->setText(text);
    }
  });
  connect(WebBrowser1, &browser::BrowserEngine::popupBlocked, this, [this] {
    m_popupBlocked = true;
    StatusPanel1->setText(tr("Pop-up blocked"));
  });
  connect(WebBrowser1, &browser::BrowserEngine::DownloadBegin, this,
          [this] { m_popupBlocked = false; });
}

void frmBrowser::Form_Load() {
  fdMain = std::make_unique<dialogs::cFileDialog>();
  Slider1->setToolTip(QStringLiteral("Transparency"));
  Slider1->setValue(Slider1->maximum());
  action(QStringLiteral("Toolbar/ZodorAzev"))->setChecked(false);
  favorites::BuildFavoritesMenu(this, WebBrowser1);
}

// ---- Layout -----------------------------------------------------------------------

void frmBrowser::Form_Resize() {
  const int width = m_client->width();
  const int height = m_client->height();
  CoolBar1->setGeometry(0, 0, width, CoolBar1->height());
  StatusBar1->setGeometry(0, qMax(0, height - kStatusBarHeightPx), width, kStatusBarHeightPx);
  const BrowserSize size =
      layoutOnResize(twips::fromPixels(width), twips::fromPixels(height),
                     twips::fromPixels(CoolBar1->height()), twips::fromPixels(kStatusBarHeightPx));
  applyBrowserSize(size.height.value_or(-1.0F), size.width);
}

void frmBrowser::CoolBar1_HeightChanged(float /*newHeight*/) {
  const BrowserSize size = layoutOnCoolBarHeightChanged(
      twips::fromPixels(m_client->width()), twips::fromPixels(m_client->height()),
      twips::fromPixels(CoolBar1->height()), twips::fromPixels(kStatusBarHeightPx));
  applyBrowserSize(size.height.value_or(-1.0F), size.width);
}

void frmBrowser::applyBrowserSize(float height, float width) {
  QWidget* view = WebBrowser1->widget();
  // A negative height is not applied; the width still is.
  const int h = height >= 0.0F ? twips::toPixels(height) : view->height();
  view->setGeometry(twips::toPixels(kBrowserLeftTwips), twips::toPixels(kBrowserTopTwips),
                    qMax(0, twips::toPixels(width)), h);
}

// ---- Keys and unload --------------------------------------------------------------

void frmBrowser::Form_KeyDown(int& KeyCode, int& Shift) {
  if (isNewWindowKey(KeyCode, Shift)) {
    mnuFileNew_Click();
    KeyCode = 0;
    Shift = 0;
  }
}

void frmBrowser::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  Form_Unload(cancel);
  event->accept();
  auto* engine = static_cast<browser::WebEngineBrowser*>(WebBrowser1);
  engine->windowClosing();
  if (engine->callingOut()) {
    // The engine is inside one of its callbacks (a page dialog): the window goes once the
    // call has returned, not under it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(engine, &browser::WebEngineBrowser::callOutsReturned, this, &QObject::deleteLater,
            Qt::QueuedConnection);
  }
}

void frmBrowser::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Still unmapped here: an empty caption is made to read empty before the map.
  if (windowTitle().isEmpty()) {
    platform::setCaption(this, QString());
  }
}

void frmBrowser::Form_Unload(int& /*Cancel*/) {
  if (m_unloaded) {
    return;
  }
  m_unloaded = true;
  fdMain.reset();
  m_zodorAzev->unload();
  stealth::transparent::RemoveTransparency(this);
}

// ---- ZodorAzev and transparency ---------------------------------------------------

void frmBrowser::Slider1_Change() { stealth::transparent::MakeTransparent(this, Slider1->value()); }

// ---- Page events ------------------------------------------------------------------

void frmBrowser::WebBrowser1_StatusTextChange(const QString& Text) {
  // The end of the load does not hide that a pop-up of this page was refused.
  if (m_popupBlocked && Text == QLatin1String("Done")) {
    StatusPanel1->setText(tr("Pop-up blocked"));
    return;
  }
  StatusPanel1->setText(browser::trimSpaces(Text));
}

void frmBrowser::WebBrowser1_TitleChange(const QString& Text) {
  showCaption([title = browser::trimSpaces(Text)] {
    return title + QStringLiteral(" - ") + platform::AppTitle::get();
  });
}

void frmBrowser::showCaption(std::function<QString()> build) {
  m_caption = std::move(build);
  if (!m_zodorAzev->isHidden()) {
    platform::setCaption(this, m_caption());
  }
}

void frmBrowser::hiddenChanged(bool hidden) {
  WebBrowser1->setPageHidden(hidden);
  // Back with the current page's caption, before the window manager frames the window.
  if (!hidden && m_caption) {
    platform::setCaption(this, m_caption());
  }
}

void frmBrowser::WebBrowser1_SetSecureLockIcon(int SecureLockIcon) {
  StatusPanel2->setVisible(SecureLockIcon > 0);
  // The address box keeps what was typed; the padlock names the site it stands for,
  // which after a redirect is another one.
  const QString host = QUrl(WebBrowser1->LocationURL()).host();
  const QString says = SecureLockIcon > 0 && !host.isEmpty()
                           ? tr("Secure connection to %1").arg(host)
                           : tr("Secure connection");
  StatusPanel2->setToolTip(says);
  StatusPanel2->setAccessibleDescription(says);
}

int frmBrowser::newWindowLevel() const {
  const frmBrowser* main = mainWindow();
  return main != nullptr ? main->Slider1->value() : Slider1->value();
}

void frmBrowser::takeLevel(int level) {
  stealth::transparent::MakeTransparent(this, level);
  Slider1->setValue(level);
}

void frmBrowser::copyPageSettings(const frmBrowser& from) {
  WebBrowser1->setSilent(from.WebBrowser1->Silent());
  // Offline goes with the window's pages: nothing leaves a window made from an offline one.
  WebBrowser1->setOffline(from.WebBrowser1->Offline());
  action(QStringLiteral("File/Work Offline"))->setChecked(WebBrowser1->Offline());
}

void frmBrowser::LoadNewWindow(const QString& TargetURL, bool bSilent) {
  const int level = newWindowLevel();
  // No events run while the window is made.
  auto* window = new frmBrowser();
  window->WebBrowser1->setSilent(bSilent);
  window->WebBrowser1->Navigate(TargetURL);
  window->show();
  window->takeLevel(level);
}

void frmBrowser::WebBrowser1_NewWindow2(browser::BrowserEngine** ppDisp, bool* Cancel) {
  // The engine waits inside its callback for the answer: no events may run here, or a
  // close queued by the user would free the opener's page under it.
  *Cancel = true;
  if (m_unloaded) {
    return;
  }
  const int level = newWindowLevel();
  auto* window = new frmBrowser();
  window->copyPageSettings(*this);
  *ppDisp = window->WebBrowser1;
  window->WebBrowser1->setRegisterAsBrowser(true);
  window->show();
  window->takeLevel(level);
  *Cancel = false;
}

}  // namespace app
