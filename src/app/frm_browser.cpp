#include "app/frm_browser.h"

#include "app/icons.h"
#include "app/keyboard.h"
#include "app/layout.h"
#include "browser/webengine_browser.h"
#include "platform/app_title.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
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

constexpr int kStatusBarHeightPx = 21;  // 315 twips
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
  setWindowTitle(QStringLiteral("Hushleaf Browser"));
  setWindowIcon(applicationIcon());
  registry().append(this);
  if (mainWindowSlot().isNull() && registry().size() == 1) {
    mainWindowSlot() = this;
  }
  buildControls();
  buildMenus();
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
  for (const ButtonSpec& spec : kButtons) {
    QAction* action = nullptr;
    if (spec.index == kButtonSeparator) {
      action = Toolbar1->addSeparator();
    } else {
      action = Toolbar1->addAction(toolbarImage(image++), QString::fromLatin1(spec.text));
      action->setObjectName(QStringLiteral("Toolbar1Button%1").arg(spec.index));
      action->setToolTip(action->text());
      if (auto* w = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action))) {
        w->setAccessibleName(action->text());
        w->setObjectName(action->text());
        if (spec.index == kButtonZodorAzev) {
          w->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
      }
    }
    m_buttons.append(action);
  }
  button(kButtonZodorAzev)->setCheckable(true);
  connect(Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* action) {
    const int index = static_cast<int>(m_buttons.indexOf(action)) + 1;
    Toolbar1_ButtonClick(index);
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
  txtURL->lineEdit()->installEventFilter(this);
  connect(CoolBar1, &CoolBar::heightChanged, this,
          [this](int px) { CoolBar1_HeightChanged(pixelsToTwips(px)); });

  auto* engine = new browser::WebEngineBrowser(m_client);
  WebBrowser1 = engine;
  WebBrowser1->widget()->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->widget()->setAccessibleName(QStringLiteral("WebBrowser1"));

  StatusBar1 = new QStatusBar(m_client);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setAccessibleName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel1 = new QLabel(StatusBar1);
  StatusPanel1->setAccessibleName(QStringLiteral("Status"));
  StatusPanel2 = new QLabel(StatusBar1);
  StatusPanel2->setAccessibleName(QStringLiteral("Secure"));
  StatusPanel2->setPixmap(padlockIcon().pixmap(16, 16));
  StatusPanel2->setToolTip(QStringLiteral("Secure connection"));
  StatusPanel2->hide();
  StatusBar1->addWidget(StatusPanel1, 1);
  StatusBar1->addPermanentWidget(StatusPanel2);

  timTimer1 = new QTimer(this);
  timTimer1->setTimerType(Qt::PreciseTimer);
  connect(timTimer1, &QTimer::timeout, this, &frmBrowser::timTimer1_Timer);
}

void frmBrowser::buildMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFileNew = mnuFile->addAction(QStringLiteral("&New"));
  connect(mnuFileNew, &QAction::triggered, this, &frmBrowser::mnuFileNew_Click);
  mnuClose = mnuFile->addAction(QStringLiteral("&Close"));
  connect(mnuClose, &QAction::triggered, this, &frmBrowser::mnuClose_Click);
}

void frmBrowser::Form_Load() {
  Slider1->setToolTip(QStringLiteral("Transparency"));
  Slider1->setValue(Slider1->maximum());
  button(kButtonZodorAzev)->setChecked(false);
  timTimer1->start(1);
}

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
                    twipsToPixels(width), h);
}

bool frmBrowser::event(QEvent* event) {
  if (event->type() == QEvent::Show && windowHandle() != nullptr) {
    // Key preview: the native window sees every key before the focused control does.
    windowHandle()->removeEventFilter(this);
    windowHandle()->installEventFilter(this);
  }
  return QMainWindow::event(event);
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    int keyCode = key->key();
    int shift = shiftState(key->modifiers());
    Form_KeyDown(keyCode, shift);
    return keyCode == 0 && shift == 0;
  }
  if (watched == txtURL->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      int keyAscii = 13;
      txtURL_KeyPress(keyAscii);
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
  QCoreApplication::processEvents();
}

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
}

void frmBrowser::timTimer1_Timer() {
  if (!button(kButtonZodorAzev)->isChecked()) {
    return;
  }
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
    default:
      // 6 is the separator; 8 (ZodorAzev) is read by the timer, not clicked.
      break;
  }
}

void frmBrowser::cmdGo_Click() { WebBrowser1->Navigate(txtURL->currentText()); }

void frmBrowser::txtURL_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    WebBrowser1->Navigate(txtURL->currentText());
  }
}

void frmBrowser::LoadNewWindow(const QString& TargetURL, bool bSilent) {
  auto* window = new frmBrowser();
  window->WebBrowser1->setSilent(bSilent);
  window->WebBrowser1->Navigate(TargetURL);
  window->show();
}

void frmBrowser::mnuFileNew_Click() {
  LoadNewWindow(WebBrowser1->LocationURL(), WebBrowser1->Silent());
  QCoreApplication::processEvents();
}

void frmBrowser::mnuClose_Click() {
  int cancel = 0;
  Form_Unload(cancel);
  emit WindowEvents::instance().endProgram();
}

}  // namespace app
