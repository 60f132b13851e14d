#pragma once

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QString>

class QTimer;

namespace browser {
class BrowserEngine;
}

namespace dialogs {

// A label that acts on a click, as the about box's link does.
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

// The about box: product name, version and a link to the product's web page, which
// closes the box and takes the given engine there.
class frmAbout : public QDialog {
  Q_OBJECT

 public:
  frmAbout(QWidget* owner, browser::BrowserEngine* engine);

  // Places the box centred on the primary screen by its outer size.
  void centre();

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  LinkLabel* Label5 = nullptr;
  QString strWebPage;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();
  void Label5_Click();
  void recentreWhenFramed();

  QPointer<browser::BrowserEngine> m_engine;
  QTimer* m_frameWatch = nullptr;
  int m_frameChecks = 0;
  QSize m_centredOuterSize;
};

// Help > About: shows the box centred and modal to mainWindow; returns when it closes.
// The link navigates mainEngine (which may be null: then it only closes the box).
void showAbout(QWidget* mainWindow, browser::BrowserEngine* mainEngine);

}  // namespace dialogs
