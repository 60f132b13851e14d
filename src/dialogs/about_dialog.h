#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>

#include <functional>

class QTimer;

namespace dialogs {

// A label that acts on a click or on Enter and Space, as the about box's link does.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool m_pressed = false;
};

// The about box: product name, version and a link to the product's web page. The link
// closes the box and asks for the page through webPageRequested.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* owner);

  // Places the box centred on the primary screen by its outer size.
  void centre();

 signals:
  void webPageRequested(const QUrl& page);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void openWebPage();
  void recentreWhenFramed();

  QTimer* m_frameWatch = nullptr;
  int m_frameChecks = 0;
  QSize m_centredOuterSize;
};

// Help > About: opens the box centred and modal to mainWindow, and returns at once. The
// link's page goes to `openPage`.
void showAbout(QWidget* mainWindow, const std::function<void(const QUrl&)>& openPage);

}  // namespace dialogs
