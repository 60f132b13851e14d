#include "dialogs/about_dialog.h"

#include "dialogs/about_layout.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#ifndef HUSHLEAF_VERSION_MAJOR
#error "HUSHLEAF_VERSION_MAJOR must come from the project version"
#endif
#ifndef HUSHLEAF_VERSION_MINOR
#error "HUSHLEAF_VERSION_MINOR must come from the project version"
#endif

namespace dialogs {

namespace {

// The box's fixed client size, in pixels.
constexpr QSize kClientSize(312, 206);
constexpr int kIconPixels = 32;
// How long the box waits for the window manager's frame before it stops looking.
constexpr int kFrameCheckIntervalMs = 20;
constexpr int kFrameChecks = 50;

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

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(tr("About"));
  setWindowIcon(QApplication::windowIcon());
  setFixedSize(kClientSize);
  setSizeGripEnabled(false);

  // Object names are what tests find; a screen reader hears what the labels show.
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("Image1"));
  icon->setAccessibleName(tr("Hushleaf Browser icon"));
  icon->setAccessibleDescription(tr("Application icon"));
  icon->setPixmap(QApplication::windowIcon().pixmap(kIconPixels, kIconPixels));

  auto* product = new QLabel(tr("Hushleaf Browser"), this);
  product->setObjectName(QStringLiteral("Label1"));
  QFont titleFont = product->font();
  titleFont.setPointSizeF(13.5);
  titleFont.setBold(true);
  titleFont.setUnderline(true);
  product->setFont(titleFont);

  auto* version = new QLabel(versionText(HUSHLEAF_VERSION_MAJOR, HUSHLEAF_VERSION_MINOR), this);
  version->setObjectName(QStringLiteral("Label2"));

  auto* link = new LinkLabel(tr("Click here to Visit Hushleaf Browser Website"), this);
  link->setObjectName(QStringLiteral("Label5"));
  QFont linkFont = link->font();
  linkFont.setPointSizeF(9.75);
  linkFont.setUnderline(true);
  link->setFont(linkFont);
  link->setCursor(Qt::PointingHandCursor);
  link->setFocusPolicy(Qt::TabFocus);
  connect(link, &LinkLabel::clicked, this, &AboutDialog::openWebPage);
  for (QLabel* label : {product, version, static_cast<QLabel*>(link)}) {
    label->setAccessibleDescription(label->text());
  }

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 12, 6, 12);
  grid->setVerticalSpacing(14);
  grid->addWidget(icon, 0, 0, Qt::AlignTop);
  grid->addWidget(product, 0, 1, Qt::AlignHCenter);
  grid->addWidget(version, 1, 1, Qt::AlignHCenter);
  grid->addWidget(link, 2, 0, 1, 2, Qt::AlignHCenter);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(1, 1);

  m_frameWatch = new QTimer(this);
  m_frameWatch->setInterval(kFrameCheckIntervalMs);
  connect(m_frameWatch, &QTimer::timeout, this, &AboutDialog::recentreWhenFramed);
}

void AboutDialog::openWebPage() {
  accept();
  emit webPageRequested(QUrl(QString::fromLatin1(kProductWebPage)));
}

void AboutDialog::centre() {
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
  m_centredOuterSize = outer;
  move(s.topLeft() + centredPosition(s.size(), outer));
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_frameChecks = 0;
  m_frameWatch->start();
}

void AboutDialog::recentreWhenFramed() {
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

void showAbout(QWidget* mainWindow, const std::function<void(const QUrl&)>& openPage) {
  auto* box = new AboutDialog(mainWindow);
  box->setAttribute(Qt::WA_DeleteOnClose);
  if (openPage) {
    QObject::connect(box, &AboutDialog::webPageRequested, box, openPage);
  }
  box->centre();
  box->open();
}

}  // namespace dialogs
