#pragma once

#include "browser/address_box.h"
#include "dialogs/c_file_dialog.h"
#include "stealth/zodor_azev_adapter.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

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
class FindBar;
}  // namespace browser

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
  // Name of the control that has the keyboard focus: "WebBrowser1", "txtURL" or other.
  [[nodiscard]] QString activeControlName() const;
  [[nodiscard]] const browser::AddressHistory& history() const { return m_history; }
  [[nodiscard]] browser::FindBar* findBar() const { return m_findBar; }

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
  std::unique_ptr<dialogs::cFileDialog> fdMain;

  // Menus.
  QMenu* mnuFile = nullptr;
  QAction* mnuFileNew = nullptr;
  QAction* mnuOpen = nullptr;
  QAction* mnuSavePageAs = nullptr;
  QAction* mnuPrint = nullptr;
  QAction* mnuPageSetup = nullptr;
  QAction* mnuPrintPreview = nullptr;
  QAction* mnuFileProperties = nullptr;
  QAction* mnuWorkOffline = nullptr;
  QAction* mnuClose = nullptr;
  QMenu* mnuEdit = nullptr;
  QAction* mnuEditUndo = nullptr;
  QAction* mnuEditCut = nullptr;
  QAction* mnuEditCopy = nullptr;
  QAction* mnuEditPaste = nullptr;
  QAction* mnuEditSelAll = nullptr;
  QAction* mnuEditFind = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuGoTo = nullptr;
  QAction* mnuBack = nullptr;
  QAction* mnuForward = nullptr;
  QAction* mnuHomePage = nullptr;
  QAction* mnuSearch = nullptr;
  QAction* mnuStop = nullptr;
  QAction* mnuRefresh = nullptr;
  QMenu* mnuViewTextSize = nullptr;
  std::array<QAction*, 5> mnuViewFontSize{};
  QAction* mnuViewSource = nullptr;
  QMenu* mnuTools = nullptr;
  QAction* mnuFavorites = nullptr;
  QAction* mnuProxy = nullptr;
  QAction* mnuInternetOptions = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuHelp2 = nullptr;
  QAction* mnuAbout = nullptr;

  // Commands.
  void mnuFileNew_Click();
  void mnuOpen_Click();
  void mnuSavePageAs_Click();
  void mnuPrint_Click();
  void mnuPageSetup_Click();
  void mnuPrintPreview_Click();
  void mnuFileProperties_Click();
  void mnuWorkOffline_Click();
  void mnuClose_Click();
  void mnuEditUndo_Click();
  void mnuEditCut_Click();
  void mnuEditCopy_Click();
  void mnuEditPaste_Click();
  void mnuEditSelAll_Click();
  void mnuEditFind_Click();
  void mnuView_Click();
  void mnuViewTextSize_Click();
  void mnuViewFontSize_Click(int Index);
  void mnuViewSource_Click();
  void mnuFavorites_Click();
  void mnuProxy_Click();
  void mnuInternetOptions_Click();
  void mnuHelp2_Click();
  void mnuAbout_Click();
  void Toolbar1_ButtonClick(int index);
  void cmdGo_Click();
  void txtURL_KeyPress(int& KeyAscii);
  void txtURL_KeyDown(int KeyCode);
  void txtURL_Change();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class ClientArea;

  void buildControls();
  void buildMenus();
  void connectEngine();
  void Form_Load();
  void Form_Resize();
  void CoolBar1_HeightChanged(float newHeight);
  void Form_KeyDown(int& KeyCode, int& Shift);
  void Form_Unload(int& Cancel);
  void Slider1_Change();
  void applyBrowserSize(float height, float width);
  void setTransparency(int level);

  void WebBrowser1_StatusTextChange(const QString& Text);
  void WebBrowser1_TitleChange(const QString& Text);
  void WebBrowser1_NewWindow2(browser::BrowserEngine** ppDisp, bool* Cancel);
  void WebBrowser1_DocumentComplete();
  void WebBrowser1_SetSecureLockIcon(int SecureLockIcon);
  void focusEngineAndExec(int cmdId);
  void removeHistoryEntry(int index);
  void keepBoxText(const std::function<void()>& change);
  // The level new windows take: the main window's, or this window's once it is gone.
  [[nodiscard]] int newWindowLevel() const;
  void openNewWindowFrom(frmBrowser& window);

  ClientArea* m_client = nullptr;
  QList<QAction*> m_buttons;
  browser::AddressBoxCore m_box;
  browser::AddressHistory m_history;
  browser::FindBar* m_findBar = nullptr;
  std::unique_ptr<stealth::ZodorAzevAdapter> m_zodorAzev;
  // The last key seen in the address box, by identity only (never dereferenced).
  struct BoxKey {
    const QEvent* event = nullptr;
    quint64 timestamp = 0;
    int key = 0;
    bool operator==(const BoxKey&) const = default;
  };
  BoxKey m_lastBoxKey;
  bool m_unloaded = false;
};

}  // namespace app

using app::frmBrowser;
