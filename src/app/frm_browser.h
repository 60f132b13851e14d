#pragma once

#include "dialogs/c_file_dialog.h"
#include "stealth/zodor_azev_adapter.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QSlider;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace browser {
class AddressBox;
class BrowserEngine;
class FindBar;
class PageCommands;
}  // namespace browser

namespace app {

class CoolBar;

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

inline constexpr int kSliderMin = 75;
inline constexpr int kSliderMax = 255;

// One browser window: its controls, their layout, load and unload, and the wiring between
// the engine, the address box, the commands and ZodorAzev. Every window of the program is
// one of these; the first one made is the main window. Controls are reached from outside
// by their object names.
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

  [[nodiscard]] browser::BrowserEngine* engine() const { return WebBrowser1; }
  [[nodiscard]] stealth::ZodorAzevAdapter& zodorAzev() const { return *m_zodorAzev; }
  // A menu or toolbar command by its path ("File/Print", "View/Text Size/Medium",
  // "Toolbar/ZodorAzev"); null for an unknown path.
  [[nodiscard]] QAction* action(const QString& path) const { return m_actions.value(path); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class WindowEventFilter;
  class ClientArea;

  void buildControls();
  void buildToolbar();
  void buildMenus();
  void connectEngine();
  void Form_Load();
  void Form_Resize();
  void CoolBar1_HeightChanged(float newHeight);
  void Form_KeyDown(int& KeyCode, int& Shift);
  void Form_Unload(int& Cancel);
  void Slider1_Change();
  void applyBrowserSize(float height, float width);

  // The caption, built now or, while the window is hidden, when it is back: a caption
  // never carries the page's title while its window is out of sight.
  void showCaption(std::function<QString()> build);
  void hiddenChanged(bool hidden);

  void WebBrowser1_StatusTextChange(const QString& Text);
  void WebBrowser1_TitleChange(const QString& Text);
  void WebBrowser1_NewWindow2(browser::BrowserEngine** ppDisp, bool* Cancel);
  void WebBrowser1_SetSecureLockIcon(int SecureLockIcon);
  // The level new windows take: the main window's, or this window's once it is gone.
  [[nodiscard]] int newWindowLevel() const;
  // Transparency level and slider value of a new window.
  void takeLevel(int level);
  // What a window made from another takes from it: silence and Offline.
  void copyPageSettings(const frmBrowser& from);

  // Window commands; the page's own are in browser::PageCommands.
  void mnuFileNew_Click();
  void mnuOpen_Click();
  void mnuClose_Click();
  void mnuViewTextSize_Click();
  void mnuAbout_Click();
  void Toolbar1_ButtonClick(int index);

  ClientArea* m_client = nullptr;
  CoolBar* CoolBar1 = nullptr;
  QToolBar* Toolbar1 = nullptr;
  QSlider* Slider1 = nullptr;
  browser::AddressBox* txtURL = nullptr;
  QToolButton* cmdGo = nullptr;
  browser::BrowserEngine* WebBrowser1 = nullptr;
  browser::FindBar* m_findBar = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel1 = nullptr;
  QLabel* StatusPanel2 = nullptr;
  std::unique_ptr<dialogs::cFileDialog> fdMain;
  std::unique_ptr<browser::PageCommands> m_commands;
  std::unique_ptr<stealth::ZodorAzevAdapter> m_zodorAzev;
  QHash<QString, QAction*> m_actions;
  std::function<QString()> m_caption;
  bool m_unloaded = false;
  // A pop-up of the page on show was refused.
  bool m_popupBlocked = false;
};

}  // namespace app

using app::frmBrowser;
