#include "dialogs/frm_about.h"

#include "browser/browser_engine.h"
#include "dialogs/about_layout.h"
#include "platform/twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

#ifndef HUSHLEAF_VERSION_MAJOR
#error "HUSHLEAF_VERSION_MAJOR must come from the project version"
#endif
#ifndef HUSHLEAF_VERSION_MINOR
#error "HUSHLEAF_VERSION_MINOR must come from the project version"
#endif

namespace dialogs {

namespace {

int px(int twips) { return twips::toPixels(twips); }

constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 3090;
constexpr int kIconPixels = 32;
// How long the box waits for the window manager's frame before it stops looking.
constexpr int kFrameCheckIntervalMs = 20;
constexpr int kFrameChecks = 50;

// Controls are found by their names in code; a screen reader hears what labels show.
void name(QWidget* w, const QString& controlName) { w->setObjectName(controlName); }

}  // namespace

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  m_pressed = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = m_pressed && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  m_pressed = false;
  QLabel::mouseReleaseEvent(event);
  if (click) {
    emit clicked();
  }
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
      event->key() == Qt::Key_Space) {
    emit clicked();
    return;
  }
  QLabel::keyPressEvent(event);
}

frmAbout::frmAbout(QWidget* owner, browser::BrowserEngine* engine)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_engine(engine) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  setWindowIcon(QApplication::windowIcon());
  setFixedSize(px(kClientWidth), px(kClientHeight));
  setSizeGripEnabled(false);

  Image1 = new QLabel(this);
  name(Image1, QStringLiteral("Image1"));
  Image1->setAccessibleName(QStringLiteral("Hushleaf Browser icon"));
  Image1->setAccessibleDescription(QStringLiteral("Application icon"));
  Image1->setPixmap(QApplication::windowIcon().pixmap(kIconPixels, kIconPixels));
  Image1->setGeometry(px(240), px(240), kIconPixels, kIconPixels);

  Label1 = new QLabel(QStringLiteral("Hushleaf Browser"), this);
  name(Label1, QStringLiteral("Label1"));
  QFont titleFont = Label1->font();
  titleFont.setPointSizeF(13.5);
  titleFont.setBold(true);
  titleFont.setUnderline(true);
  Label1->setFont(titleFont);
  Label1->move(px(1148), px(195));

  Label2 = new QLabel(this);
  name(Label2, QStringLiteral("Label2"));
  Label2->move(px(2100), px(735));

  Label5 = new LinkLabel(QStringLiteral("Click here to Visit Hushleaf Browser Website"), this);
  name(Label5, QStringLiteral("Label5"));
  QFont linkFont = Label5->font();
  linkFont.setPointSizeF(9.75);
  linkFont.setUnderline(true);
  Label5->setFont(linkFont);
  Label5->setCursor(Qt::PointingHandCursor);
  Label5->setFocusPolicy(Qt::TabFocus);
  // Where this display's font is wider than the designed box, the link grows rather
  // than being cut off, and moves left as far as it must to stay inside the box.
  const QSize hint = Label5->sizeHint();
  const int linkWidth = std::max(px(3885), hint.width());
  const int linkX = std::max(0, std::min(px(398), width() - linkWidth));
  Label5->setGeometry(linkX, px(1290), linkWidth, std::max(px(240), hint.height()));
  connect(Label5, &LinkLabel::clicked, this, &frmAbout::Label5_Click);

  Form_Load();
  Label1->adjustSize();
  Label2->adjustSize();
  Label1->setAccessibleDescription(Label1->text());
  Label2->setAccessibleDescription(Label2->text());
  Label5->setAccessibleDescription(Label5->text());

  m_frameWatch = new QTimer(this);
  m_frameWatch->setInterval(kFrameCheckIntervalMs);
  connect(m_frameWatch, &QTimer::timeout, this, &frmAbout::recentreWhenFramed);
}

void frmAbout::Form_Load() {
  Label2->setText(versionText(HUSHLEAF_VERSION_MAJOR, HUSHLEAF_VERSION_MINOR));
  strWebPage = QString::fromLatin1(kProductWebPage);
}

void frmAbout::Label5_Click() {
  accept();
  if (m_engine) {
    m_engine->Navigate(strWebPage);
  }
}

void frmAbout::centre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  QSize outer = frameGeometry().size();
  if (outer == size() && parentWidget() != nullptr) {
    // Not framed yet: the main window's decorations are the best guess until the
    // window manager has framed the box (see recentreWhenFramed).
    const QWidget* owner = parentWidget()->window();
    outer += owner->frameGeometry().size() - owner->geometry().size();
  }
  const QRect s = screen->geometry();
  const TwipsPoint at = centredPosition(
      double(s.width()) * twips::kPerPixel, double(s.height()) * twips::kPerPixel,
      double(outer.width()) * twips::kPerPixel, double(outer.height()) * twips::kPerPixel);
  m_centredOuterSize = outer;
  move(s.x() + twips::toPixels(at.left), s.y() + twips::toPixels(at.top));
}

void frmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_frameChecks = 0;
  m_frameWatch->start();
}

void frmAbout::recentreWhenFramed() {
  const QSize outer = frameGeometry().size();
  if (outer != size() && outer != m_centredOuterSize) {
    centre();
    m_frameWatch->stop();
    return;
  }
  if (outer != size() || ++m_frameChecks >= kFrameChecks) {
    m_frameWatch->stop();
  }
}

void showAbout(QWidget* mainWindow, browser::BrowserEngine* mainEngine) {
  QPointer<frmAbout> box = new frmAbout(mainWindow, mainEngine);
  box->centre();
  box->exec();
  delete box.data();  // null when the main window took it along
}

}  // namespace dialogs
