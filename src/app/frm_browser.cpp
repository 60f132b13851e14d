#include "app/frm_browser.h"

#include "app/icons.h"
#include "app/keyboard.h"
#include "app/layout.h"
#include "browser/find_bar.h"
#include "browser/start_page.h"
#include "browser/webengine_browser.h"
#include "platform/app_title.h"
#include "dialogs/frm_about.h"
#include "favorites/mod_faves.h"
#include "platform/command_line.h"
#include "proxy/frm_proxy_test.h"
#include "stealth/transparent.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
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
constexpr int kSliderWidthPx = 224;      // 3360 twips

struct ButtonSpec {
  int index;
  const char* text;
};
constexpr ButtonSpec kButtons[] = {
    {kButtonBack, "Back"},       {kButtonForward, "Forward"}, {kButtonStop, "Stop"},
    {kButtonRefresh, "Refresh"}, {kButtonHome, "Home"},       {kButtonSeparator, ""},
    {kButtonProxy, "Proxy"},     {kButtonZodorAzev, "ZodorAzev"},
};

constexpr const char* kFontSizeCaptions[] = {"Smallest", "Small", "Medium", "Large", "Largest"};

// Keys that belong to the window's menu even while the address box has the focus.
bool isWindowAccelerator(const QKeyEvent& key) {
  if ((key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) !=
      Qt::ControlModifier) {
    return false;
  }
  switch (key.key()) {
    case Qt::Key_O:
    case Qt::Key_P:
    case Qt::Key_A:
    case Qt::Key_F:
      return true;
    default:
      return false;
  }
}

}  // namespace

WindowEvents& WindowEvents::instance() {
  static WindowEvents events;
  return events;
}

void CoolBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (event->size().height() != event->oldSize().height()) {
    emit heightChanged(event->size().height());
  }
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
  setWindowTitle(platform::applicationTitle());
  setWindowIcon(applicationIcon());
  registry().append(this);
  if (mainWindowSlot().isNull() && registry().size() == 1) {
    mainWindowSlot() = this;
  }
  buildControls();
  buildMenus();
  connectEngine();
  qApp->installEventFilter(this);
  resize(twipsToPixels(kClientWidthTwips),
         twipsToPixels(kClientHeightTwips) + menuBar()->sizeHint().height());
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

QAction* frmBrowser::button(int index) const {
  return index >= 1 && index <= m_buttons.size() ? m_buttons.at(index - 1) : nullptr;
}

QString frmBrowser::activeControlName() const {
  const QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || focus->window() != this) {
    return {};
  }
  if (m_findBar != nullptr && (focus == m_findBar || m_findBar->isAncestorOf(focus))) {
    return QStringLiteral("FindBar");
  }
  QWidget* view = WebBrowser1->widget();
  if (focus == view || view->isAncestorOf(focus)) {
    return QStringLiteral("WebBrowser1");
  }
  if (focus == txtURL || txtURL->isAncestorOf(focus)) {
    return QStringLiteral("txtURL");
  }
  return focus->objectName();
}

void frmBrowser::buildControls() {
  m_client = new ClientArea(*this);
  setCentralWidget(m_client);

  CoolBar1 = new CoolBar(m_client);
  CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
  CoolBar1->setAccessibleName(QStringLiteral("CoolBar1"));
  auto* rows = new QVBoxLayout(CoolBar1);
  rows->setContentsMargins(0, 2, 0, 3);
  rows->setSpacing(2);

  // Band 1: the toolbar with its eight buttons and the slider.
  Toolbar1 = new QToolBar(CoolBar1);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1->setAccessibleName(QStringLiteral("Toolbar1"));
  Toolbar1->setFixedHeight(kToolbarRowHeightPx);
  Toolbar1->setIconSize(QSize(20, 20));
  // Buttons show their images with the text as tool tip; ZodorAzev also shows its name.
  Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  Toolbar1->setMovable(false);
  Toolbar1->setFloatable(false);
  int image = 1;
  for (const ButtonSpec& entry : kButtons) {
    QAction* action = nullptr;
    if (entry.index == kButtonSeparator) {
      action = Toolbar1->addSeparator();
    } else {
      action = Toolbar1->addAction(toolbarImage(image++), QString::fromLatin1(entry.text));
      action->setObjectName(QStringLiteral("Toolbar1Button%1").arg(entry.index));
      action->setToolTip(action->text());
      if (auto* w = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action))) {
        w->setAccessibleName(action->text());
        w->setObjectName(action->text());
        if (entry.index == kButtonZodorAzev) {
          w->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
      }
    }
    m_buttons.append(action);
  }
  button(kButtonZodorAzev)->setCheckable(true);
  m_zodorAzev = std::make_unique<stealth::ZodorAzevAdapter>(this, button(kButtonZodorAzev));
  connect(Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* action) {
    Toolbar1_ButtonClick(static_cast<int>(m_buttons.indexOf(action)) + 1);
  });

  Slider1 = new QSlider(Qt::Horizontal, Toolbar1);
  Slider1->setObjectName(QStringLiteral("Slider1"));
  Slider1->setAccessibleName(QStringLiteral("Transparency"));
  Slider1->setRange(kSliderMin, kSliderMax);
  Slider1->setSingleStep(1);
  Slider1->setPageStep(5);
  Slider1->setFixedWidth(kSliderWidthPx);
  Toolbar1->addWidget(Slider1);
  rows->addWidget(Toolbar1);
  connect(Slider1, &QSlider::valueChanged, this, &frmBrowser::Slider1_Change);
  connect(Slider1, &QSlider::sliderMoved, this, [this] {
    // The pop-up text beside the thumb while it is dragged.
    QToolTip::showText(QCursor::pos(), Slider1->toolTip(), Slider1);
  });

  // Bands 2 and 3: the address box with its caption, then the Go button.
  auto* addressRow = new QWidget(CoolBar1);
  addressRow->setFixedHeight(kAddressRowHeightPx);
  auto* address = new QHBoxLayout(addressRow);
  address->setContentsMargins(0, 0, 4, 0);
  address->setSpacing(4);
  auto* caption = new QLabel(QStringLiteral("  Address  "), addressRow);
  txtURL = new QComboBox(addressRow);
  txtURL->setObjectName(QStringLiteral("txtURL"));
  txtURL->setAccessibleName(QStringLiteral("Address"));
  txtURL->setEditable(true);
  txtURL->setInsertPolicy(QComboBox::NoInsert);
  txtURL->setCompleter(nullptr);
  txtURL->setMaxVisibleItems(20);
  txtURL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  txtURL->lineEdit()->setAccessibleName(QStringLiteral("Address"));
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
  connect(cmdGo, &QToolButton::clicked, this, &frmBrowser::cmdGo_Click);
  // The combo box hands keys on to its edit field without events filters seeing them
  // again; watch both, a key at most once.
  txtURL->installEventFilter(this);
  txtURL->lineEdit()->installEventFilter(this);
  connect(txtURL->lineEdit(), &QLineEdit::textChanged, this, &frmBrowser::txtURL_Change);
  connect(CoolBar1, &CoolBar::heightChanged, this,
          [this](int px) { CoolBar1_HeightChanged(pixelsToTwips(px)); });

  auto* engine = new browser::WebEngineBrowser(m_client);
  WebBrowser1 = engine;
  WebBrowser1->widget()->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->widget()->setAccessibleName(QStringLiteral("WebBrowser1"));
  m_findBar = new browser::FindBar(*engine);

  StatusBar1 = new QStatusBar(m_client);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setAccessibleName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel1 = new QLabel(StatusBar1);
  StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
  StatusPanel1->setAccessibleName(QStringLiteral("Status"));
  StatusPanel2 = new QLabel(StatusBar1);
  StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
  StatusPanel2->setAccessibleName(QStringLiteral("Secure"));
  StatusPanel2->setPixmap(padlockIcon().pixmap(16, 16));
  StatusPanel2->setToolTip(QStringLiteral("Secure connection"));
  // Nothing is known to be secure before the first page says so.
  StatusPanel2->hide();
  StatusBar1->addWidget(StatusPanel1, 1);
  StatusBar1->addPermanentWidget(StatusPanel2);
}

void frmBrowser::buildMenus() {
  QMenuBar* bar = menuBar();
  const auto add = [this](QMenu* menu, const char* caption, auto handler,
                          const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    if (!shortcut.isEmpty()) {
      action->setShortcut(shortcut);
      action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, handler);
    return action;
  };

  mnuFile = bar->addMenu(QStringLiteral("&File"));
  mnuFileNew = add(mnuFile, "&New", &frmBrowser::mnuFileNew_Click);
  mnuOpen = add(mnuFile, "&Open...", &frmBrowser::mnuOpen_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuFile->addSeparator();
  mnuSavePageAs = add(mnuFile, "&Save Page As...", &frmBrowser::mnuSavePageAs_Click);
  mnuFile->addSeparator();
  mnuPrint = add(mnuFile, "Print", &frmBrowser::mnuPrint_Click, QKeySequence(Qt::CTRL | Qt::Key_P));
  mnuPageSetup = add(mnuFile, "Page Setup", &frmBrowser::mnuPageSetup_Click);
  mnuPrintPreview = add(mnuFile, "Print Preview", &frmBrowser::mnuPrintPreview_Click);
  mnuFile->addSeparator();
  mnuFileProperties = add(mnuFile, "File Properties", &frmBrowser::mnuFileProperties_Click);
  mnuWorkOffline = add(mnuFile, "Work Offline", &frmBrowser::mnuWorkOffline_Click);
  mnuWorkOffline->setCheckable(true);
  mnuClose = add(mnuFile, "&Close", &frmBrowser::mnuClose_Click);

  mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
  mnuEditUndo = add(mnuEdit, "Undo", &frmBrowser::mnuEditUndo_Click);
  mnuEdit->addSeparator();
  mnuEditCut = add(mnuEdit, "Cut", &frmBrowser::mnuEditCut_Click);
  mnuEditCopy = add(mnuEdit, "Copy", &frmBrowser::mnuEditCopy_Click);
  mnuEditPaste = add(mnuEdit, "Paste", &frmBrowser::mnuEditPaste_Click);
  mnuEdit->addSeparator();
  mnuEditSelAll =
      add(mnuEdit, "Select All", &frmBrowser::mnuEditSelAll_Click, QKeySequence(Qt::CTRL | Qt::Key_A));
  mnuEdit->addSeparator();
  mnuEditFind = add(mnuEdit, "Find on this page", &frmBrowser::mnuEditFind_Click,
                    QKeySequence(Qt::CTRL | Qt::Key_F));

  mnuView = bar->addMenu(QStringLiteral("&View"));
  connect(mnuView, &QMenu::aboutToShow, this, &frmBrowser::mnuView_Click);
  mnuGoTo = mnuView->addMenu(QStringLiteral("G&o to"));
  mnuBack = add(mnuGoTo, "&Back", [this] { WebBrowser1->invoke(browser::DispId::GoBack); });
  mnuForward = add(mnuGoTo, "&Forward", [this] { WebBrowser1->invoke(browser::DispId::GoForward); });
  mnuGoTo->addSeparator();
  mnuHomePage = add(mnuGoTo, "&Home Page", [this] { WebBrowser1->invoke(browser::DispId::GoHome); });
  mnuSearch = add(mnuGoTo, "Search", [this] { WebBrowser1->invoke(browser::DispId::GoSearch); });
  mnuStop = add(mnuView, "Sto&p", [this] { WebBrowser1->invoke(browser::DispId::Stop); });
  mnuRefresh = add(mnuView, "&Refresh", [this] { WebBrowser1->invoke(browser::DispId::Refresh); });
  mnuViewTextSize = mnuView->addMenu(QStringLiteral("Text Size"));
  connect(mnuViewTextSize, &QMenu::aboutToShow, this, &frmBrowser::mnuViewTextSize_Click);
  for (int i = 0; i < browser::kTextSizeLevels; ++i) {
    mnuViewFontSize.at(static_cast<std::size_t>(i)) =
        add(mnuViewTextSize, kFontSizeCaptions[i], [this, i] { mnuViewFontSize_Click(i); });
    // The mark follows the engine's level, not the click.
    mnuViewFontSize.at(static_cast<std::size_t>(i))->setCheckable(false);
  }
  mnuViewSource = add(mnuView, "View Source", &frmBrowser::mnuViewSource_Click);

  mnuTools = bar->addMenu(QStringLiteral("&Tools"));
  // Both start hidden: adding a page stays in the Favorites menu, the proxy dialog on the toolbar.
  mnuFavorites = add(mnuTools, "Add to Favorites", &frmBrowser::mnuFavorites_Click);
  mnuFavorites->setVisible(false);
  mnuProxy = add(mnuTools, "&Proxy Settings...", &frmBrowser::mnuProxy_Click);
  mnuProxy->setVisible(false);
  mnuInternetOptions = add(mnuTools, "Internet Options", &frmBrowser::mnuInternetOptions_Click);

  mnuHelp = bar->addMenu(QStringLiteral("&Help"));
  mnuHelp2 = add(mnuHelp, "Help", &frmBrowser::mnuHelp2_Click);
  mnuAbout = add(mnuHelp, "About", &frmBrowser::mnuAbout_Click);
}

void frmBrowser::connectEngine() {
  connect(WebBrowser1, &browser::BrowserEngine::StatusTextChange, this,
          &frmBrowser::WebBrowser1_StatusTextChange);
  connect(WebBrowser1, &browser::BrowserEngine::TitleChange, this,
          &frmBrowser::WebBrowser1_TitleChange);
  connect(WebBrowser1, &browser::BrowserEngine::NewWindow2, this,
          &frmBrowser::WebBrowser1_NewWindow2, Qt::DirectConnection);
  connect(WebBrowser1, &browser::BrowserEngine::DocumentComplete, this,
          &frmBrowser::WebBrowser1_DocumentComplete);
  connect(WebBrowser1, &browser::BrowserEngine::SetSecureLockIcon, this,
          &frmBrowser::WebBrowser1_SetSecureLockIcon);
}

void frmBrowser::Form_Load() {
  fdMain = std::make_unique<dialogs::cFileDialog>();
  Slider1->setToolTip(QStringLiteral("Transparency"));
  Slider1->setValue(Slider1->maximum());
  button(kButtonZodorAzev)->setChecked(false);
  favorites::BuildFavoritesMenu(this, WebBrowser1);
}

// ---- Layout -----------------------------------------------------------------------

void frmBrowser::Form_Resize() {
  const int width = m_client->width();
  const int height = m_client->height();
  CoolBar1->setGeometry(0, 0, width, CoolBar1->height());
  StatusBar1->setGeometry(0, qMax(0, height - kStatusBarHeightPx), width, kStatusBarHeightPx);
  const BrowserSize size = layoutOnResize(pixelsToTwips(width), pixelsToTwips(height),
                                          pixelsToTwips(CoolBar1->height()),
                                          pixelsToTwips(kStatusBarHeightPx));
  applyBrowserSize(size.height.value_or(-1.0F), size.width);
}

void frmBrowser::CoolBar1_HeightChanged(float /*newHeight*/) {
  const BrowserSize size = layoutOnCoolBarHeightChanged(
      pixelsToTwips(m_client->width()), pixelsToTwips(m_client->height()),
      pixelsToTwips(CoolBar1->height()), pixelsToTwips(kStatusBarHeightPx));
  applyBrowserSize(size.height.value_or(-1.0F), size.width);
}

void frmBrowser::applyBrowserSize(float height, float width) {
  QWidget* view = WebBrowser1->widget();
  // A negative height is not applied; the width still is.
  const int h = height >= 0.0F ? twipsToPixels(height) : view->height();
  view->setGeometry(twipsToPixels(kBrowserLeftTwips), twipsToPixels(kBrowserTopTwips),
                    qMax(0, twipsToPixels(width)), h);
}

// ---- Keys -------------------------------------------------------------------------

bool frmBrowser::eventFilter(QObject* watched, QEvent* event) {
  // Key preview: the native window receives every key before the focused control
  // does. Qt may replace that window object while showing, so it is matched here.
  if (event->type() == QEvent::KeyPress && watched->isWindowType() && watched == windowHandle()) {
    auto* key = static_cast<QKeyEvent*>(event);
    int keyCode = key->key();
    int shift = shiftState(key->modifiers());
    Form_KeyDown(keyCode, shift);
    return keyCode == 0 && shift == 0;
  }
  if (watched == txtURL || watched == txtURL->lineEdit()) {
    if (event->type() == QEvent::ShortcutOverride &&
        isWindowAccelerator(*static_cast<QKeyEvent*>(event))) {
      // Let the menu's accelerator have it instead of the box's own editing key.
      event->ignore();
      return true;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const BoxKey seen{event, key->timestamp(), key->key()};
    if (event->type() == QEvent::KeyPress && !(seen == m_lastBoxKey)) {
      m_lastBoxKey = seen;
      int virtualKey = key->key();
      if (virtualKey == Qt::Key_Backspace) {
        virtualKey = browser::kVkBack;
      } else if (virtualKey == Qt::Key_Delete) {
        virtualKey = browser::kVkDelete;
      }
      txtURL_KeyDown(virtualKey);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        int keyAscii = 13;
        txtURL_KeyPress(keyAscii);
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmBrowser::Form_KeyDown(int& KeyCode, int& Shift) {
  if (isNewWindowKey(KeyCode, Shift)) {
    mnuFileNew_Click();
    KeyCode = 0;
    Shift = 0;
  }
  // Pending events run here, but not the keys queued behind this one: letting those
  // through first would scramble fast typing.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---- Unload -----------------------------------------------------------------------

void frmBrowser::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  Form_Unload(cancel);
  event->accept();
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

void frmBrowser::Slider1_Change() { setTransparency(Slider1->value()); }

void frmBrowser::setTransparency(int level) { stealth::transparent::MakeTransparent(this, level); }

// ---- Address box ------------------------------------------------------------------

void frmBrowser::cmdGo_Click() { WebBrowser1->Navigate(txtURL->currentText()); }

void frmBrowser::txtURL_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    WebBrowser1->Navigate(txtURL->currentText());
  }
}

void frmBrowser::txtURL_KeyDown(int KeyCode) { m_box.keyDown(KeyCode); }

void frmBrowser::txtURL_Change() {
  QLineEdit* edit = txtURL->lineEdit();
  const auto result = m_box.change(edit->text(), edit->cursorPosition(), m_history);
  if (!result) {
    return;
  }
  m_box.beginCompleting();
  edit->setText(result->text);
  edit->setSelection(result->selStart, result->selLength);
  m_box.endCompleting();
}

void frmBrowser::WebBrowser1_DocumentComplete() {
  QLineEdit* edit = txtURL->lineEdit();
  if (edit->text().isEmpty()) {
    edit->setText(QString::fromLatin1(browser::AddressBoxCore::kEmptyBoxText));
    setWindowTitle(platform::applicationTitle());
    txtURL->setFocus(Qt::OtherFocusReason);
    edit->setCursorPosition(browser::AddressBoxCore::kEmptyBoxCaret);
    edit->deselect();
  }
  if (edit->text().isEmpty()) {
    return;
  }
  // Pending events run during the walk (a large history must not freeze the window),
  // at most once a millisecond. Another handler may change the list meanwhile, so the
  // walk reads afresh and a final pass keeps every entry unique.
  QPointer<frmBrowser> alive(this);
  QElapsedTimer slice;
  slice.start();
  const int last = m_history.count() - 1;
  for (int i = 0; i <= last; ++i) {
    if (i >= m_history.count()) {
      break;
    }
    if (m_history.entries().at(i) == edit->text()) {
      removeHistoryEntry(i);
      break;
    }
    if (slice.elapsed() >= 1) {
      QCoreApplication::processEvents();
      if (alive.isNull()) {
        return;
      }
      slice.restart();
    }
  }
  const QString text = edit->text();
  if (text.isEmpty()) {
    return;
  }
  for (int at = m_history.indexOf(text); at >= 0; at = m_history.indexOf(text)) {
    removeHistoryEntry(at);
  }
  m_history.prepend(text);
  keepBoxText([&] { txtURL->insertItem(0, text); });
  edit->setCursorPosition(static_cast<int>(text.size()));
}

void frmBrowser::removeHistoryEntry(int index) {
  m_history.removeAt(index);
  keepBoxText([&] { txtURL->removeItem(index); });
}

void frmBrowser::keepBoxText(const std::function<void()>& change) {
  // The combo box moves its current item, and with it the edit text, when its list
  // changes; the list is ours alone, the text the user's.
  QLineEdit* edit = txtURL->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  const int selStart = edit->selectionStart();
  const int selLength = edit->selectionLength();
  const QSignalBlocker blockCombo(txtURL);
  const QSignalBlocker blockEdit(edit);
  change();
  txtURL->setCurrentIndex(-1);
  if (edit->text() != text) {
    edit->setText(text);
  }
  if (selStart >= 0 && selLength > 0) {
    edit->setSelection(selStart, selLength);
  } else {
    edit->setCursorPosition(cursor);
  }
}

// ---- Page events ------------------------------------------------------------------

void frmBrowser::WebBrowser1_StatusTextChange(const QString& Text) {
  StatusPanel1->setText(browser::trimSpaces(Text));
}

void frmBrowser::WebBrowser1_TitleChange(const QString& Text) {
  setWindowTitle(browser::trimSpaces(Text) + QStringLiteral(" - ") + platform::AppTitle::get());
}

void frmBrowser::WebBrowser1_SetSecureLockIcon(int SecureLockIcon) {
  StatusPanel2->setVisible(SecureLockIcon > 0);
}

int frmBrowser::newWindowLevel() const {
  const frmBrowser* main = mainWindow();
  return main != nullptr ? main->Slider1->value() : Slider1->value();
}

void frmBrowser::openNewWindowFrom(frmBrowser& window) {
  const int level = newWindowLevel();
  window.setTransparency(level);
  window.Slider1->setValue(level);
}

void frmBrowser::LoadNewWindow(const QString& TargetURL, bool bSilent) {
  auto* window = new frmBrowser();
  window->WebBrowser1->setSilent(bSilent);
  window->WebBrowser1->Navigate(TargetURL);
  window->show();
  openNewWindowFrom(*window);
}

void frmBrowser::WebBrowser1_NewWindow2(browser::BrowserEngine** ppDisp, bool* Cancel) {
  QPointer<frmBrowser> alive(this);
  QCoreApplication::processEvents();
  if (alive.isNull()) {
    *Cancel = true;
    return;
  }
  auto* window = new frmBrowser();
  *ppDisp = window->WebBrowser1;
  window->WebBrowser1->setRegisterAsBrowser(true);
  window->WebBrowser1->setSilent(WebBrowser1->Silent());
  window->show();
  openNewWindowFrom(*window);
  *Cancel = false;
}

// ---- Commands ---------------------------------------------------------------------

void frmBrowser::focusEngineAndExec(int cmdId) {
  WebBrowser1->SetFocus();
  WebBrowser1->ExecWB(cmdId, browser::olecmdexecopt::DoDefault);
}

void frmBrowser::mnuFileNew_Click() {
  LoadNewWindow(WebBrowser1->LocationURL(), WebBrowser1->Silent());
  // Often reached from Ctrl+N inside key handling: keys behind it keep their order.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmBrowser::mnuOpen_Click() {
  if (!fdMain) {
    return;
  }
  try {
    fdMain->setHwnd(this);
    fdMain->setFilter(QString::fromLatin1(dialogs::kOpenCommandFilter));
    fdMain->setFlags(dialogs::kOpenCommandFlags);
    // Cancel ends the command through the error; nothing is shown.
    fdMain->setCancelError(true);
    fdMain->ShowOpen();
  } catch (const dialogs::FileDialogError&) {
    return;
  }
  update();
  WebBrowser1->Navigate(fdMain->FileName());
}

void frmBrowser::mnuSavePageAs_Click() {
  const QVariant zero(static_cast<short>(0));
  QVariant out(static_cast<short>(0));
  WebBrowser1->ExecWB(browser::olecmdid::SaveAs, browser::olecmdexecopt::DoDefault, &zero, &out);
}

void frmBrowser::mnuPrint_Click() { focusEngineAndExec(browser::olecmdid::Print); }

void frmBrowser::mnuPageSetup_Click() { focusEngineAndExec(browser::olecmdid::PageSetup); }

void frmBrowser::mnuPrintPreview_Click() { focusEngineAndExec(browser::olecmdid::PrintPreview); }

void frmBrowser::mnuFileProperties_Click() {
  WebBrowser1->ExecWB(browser::olecmdid::Properties, browser::olecmdexecopt::DoDefault);
}

void frmBrowser::mnuWorkOffline_Click() {
  // The action has already inverted its mark.
  WebBrowser1->setOffline(mnuWorkOffline->isChecked());
}

void frmBrowser::mnuClose_Click() {
  int cancel = 0;
  Form_Unload(cancel);
  emit WindowEvents::instance().endProgram();
}

void frmBrowser::mnuEditUndo_Click() {
  if (activeControlName() == QLatin1String("WebBrowser1")) {
    WebBrowser1->ExecWB(browser::olecmdid::Undo, browser::olecmdexecopt::DoDefault);
  }
}

void frmBrowser::mnuEditCut_Click() {
  const QString active = activeControlName();
  if (active == QLatin1String("WebBrowser1")) {
    WebBrowser1->ExecWB(browser::olecmdid::Cut, browser::olecmdexecopt::DoDefault);
  } else if (active == QLatin1String("txtURL")) {
    QLineEdit* edit = txtURL->lineEdit();
    if (!edit->selectedText().isEmpty()) {
      QGuiApplication::clipboard()->setText(edit->selectedText());
    }
    m_box.cut();
    edit->insert(QString());
  }
}

void frmBrowser::mnuEditCopy_Click() { focusEngineAndExec(browser::olecmdid::Copy); }

void frmBrowser::mnuEditPaste_Click() { focusEngineAndExec(browser::olecmdid::Paste); }

void frmBrowser::mnuEditSelAll_Click() {
focusEngineAndExec(browser::olecmdid::SelectAll); }

void frmBrowser::mnuEditFind_Click() {
  WebBrowser1->SetFocus();
  // Hand the page the find key, without waiting: the engine opens its own find bar.
  // Focus moves only once the event loop runs, so aim at the page itself.
  QWidget* view = WebBrowser1->widget();
  QWidget* target = view->focusProxy() != nullptr ? view->focusProxy() : view;
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier,
                                            QStringLiteral("\x06")));
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyRelease, Qt::Key_F, Qt::ControlModifier,
                                            QStringLiteral("\x06")));
}

void frmBrowser::mnuView_Click() { mnuViewTextSize_Click(); }

void frmBrowser::mnuViewTextSize_Click() {
  QVariant level;
  if (!WebBrowser1->ExecWB(browser::olecmdid::Zoom, browser::olecmdexecopt::DontPromptUser, nullptr,
                           &level)) {
    return;
  }
  const int current = level.toInt();
  for (int i = 0; i < browser::kTextSizeLevels; ++i) {
    QAction* entry = mnuViewFontSize.at(static_cast<std::size_t>(i));
    entry->setCheckable(true);
    entry->setChecked(i == current);
  }
}

void frmBrowser::mnuViewFontSize_Click(int Index) {
  const QVariant level(Index);
  WebBrowser1->ExecWB(browser::olecmdid::Zoom, browser::olecmdexecopt::DontPromptUser, &level);
  QCoreApplication::processEvents();
}

void frmBrowser::mnuViewSource_Click() {
  WebBrowser1->Navigate(QStringLiteral("view-source:") + WebBrowser1->LocationURL());
}

void frmBrowser::mnuFavorites_Click() { favorites::AddToFavorites(this, WebBrowser1); }

void frmBrowser::mnuProxy_Click() { proxy::showProxyDialog(this); }

void frmBrowser::mnuInternetOptions_Click() {
  platform::startCommandLine(QString::fromLatin1(platform::kInternetOptionsCommandLine));
}

void frmBrowser::mnuHelp2_Click() { WebBrowser1->Navigate(browser::currentStartPageAddress()); }

void frmBrowser::mnuAbout_Click() {
  // Owned by the main window, and its link leads there, whichever window asked.
  frmBrowser* main = mainWindow() != nullptr ? mainWindow() : this;
  dialogs::showAbout(main, main->WebBrowser1);
}

void frmBrowser::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case kButtonBack:
      WebBrowser1->invoke(browser::DispId::GoBack);
      break;
    case kButtonForward:
      WebBrowser1->invoke(browser::DispId::GoForward);
      break;
    case kButtonStop:
      WebBrowser1->invoke(browser::DispId::Stop);
      break;
    case kButtonRefresh:
      WebBrowser1->invoke(browser::DispId::Refresh);
      break;
    case kButtonHome:
      WebBrowser1->invoke(browser::DispId::GoHome);
      break;
    case kButtonProxy:
      mnuProxy_Click();
      break;
    default:
      // 6 is the separator; 8 (ZodorAzev) is read by the timer, not clicked.
      break;
  }
}

}  // namespace app
