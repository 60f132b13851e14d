#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSlider;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace browser {
class BrowserEngine;
}

namespace app {

// Process-wide notices from the browser windows to the start-up routine.
class WindowEvents : public QObject {
  Q_OBJECT

 public:
  static WindowEvents& instance();

 signals:
  // The last browser window has been unloaded: the program ends.
  void lastWindowUnloaded();
  // File > Close: the program ends at once, other windows without their unload steps.
  void endProgram();

 private:
  WindowEvents() = default;
};

// The bands above the page: the toolbar row, then the address row. Reports height changes.
class CoolBar : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

 signals:
  void heightChanged(int newHeight);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// Toolbar button indices.
enum ToolbarButton : int {
  kButtonBack = 1,
  kButtonForward = 2,
  kButtonStop = 3,
  kButtonRefresh = 4,
  kButtonHome = 5,
  kButtonSeparator = 6,
  kButtonProxy = 7,
  kButtonZodorAzev = 8,
};
inline constexpr int kToolbarButtonCount = 8;

inline constexpr int kSliderMin = 75;
inline constexpr int kSliderMax = 255;

// One browser window. Every window of the program is one of these; the first one made
// is the main window. Controls keep the names the behaviour is described with.
class frmBrowser : public QMainWindow {
  Q_OBJECT

 public:
  frmBrowser();
  ~frmBrowser() override;
  frmBrowser(const frmBrowser&) = delete;
  frmBrowser& operator=(const frmBrowser&) = delete;

  // The first browser window; null once it has been closed.
  static frmBrowser* mainWindow();
  static QList<frmBrowser*> windows();

  // Opens another browser window on TargetURL.
  void LoadNewWindow(const QString& TargetURL = QString(), bool bSilent = false);

  [[nodiscard]] QAction* button(int index) const;

  // Controls.
  CoolBar* CoolBar1 = nullptr;
  QToolBar* Toolbar1 = nullptr;
  QSlider* Slider1 = nullptr;
  QComboBox* txtURL = nullptr;
  QToolButton* cmdGo = nullptr;
  browser::BrowserEngine* WebBrowser1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel1 = nullptr;
  QLabel* StatusPanel2 = nullptr;
  QTimer* timTimer1 = nullptr;

  // Menus.
  QMenu* mnuFile = nullptr;
  QAction* mnuFileNew = nullptr;
  QAction* mnuClose = nullptr;

  // Commands.
  void mnuFileNew_Click();
  void mnuClose_Click();
  void Toolbar1_ButtonClick(int index);
  void cmdGo_Click();
  void txtURL_KeyPress(int& KeyAscii);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class ClientArea;

  void buildControls();
  void buildMenus();
  void Form_Load();
  void Form_Resize();
  void CoolBar1_HeightChanged(float newHeight);
  void Form_KeyDown(int& KeyCode, int& Shift);
  void Form_Unload(int& Cancel);
  void timTimer1_Timer();
  void applyBrowserSize(float height, float width);

  ClientArea* m_client = nullptr;
  QList<QAction*> m_buttons;
  bool m_unloaded = false;
};

}  // namespace app

using app::frmBrowser;
