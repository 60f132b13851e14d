#pragma once

#include "dialogs/open_save_dialog.h"
#include "stealth/auto_hide_controller.h"

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
enum class Security;
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

// Toolbar button indices.
enum ToolbarButton : int {
  BackButton = 1,
  ForwardButton = 2,
  StopButton = 3,
  RefreshButton = 4,
  HomeButton = 5,
  SeparatorButton = 6,
  ProxyButton = 7,
  AutoHideButton = 8,
};

inline constexpr int kSliderMin = 75;
inline constexpr int kSliderMax = 255;

// One browser window: its controls, their layout, load and unload, and the wiring between
// the engine, the address box, the commands and AutoHide. Every window of the program is
// one of these; the first one made is the main window. Controls are reached from outside
// by their object names.
class BrowserWindow : public QMainWindow {
  Q_OBJECT

 public:
  BrowserWindow();
  ~BrowserWindow() override;
  BrowserWindow(const BrowserWindow&) = delete;
  BrowserWindow& operator=(const BrowserWindow&) = delete;

  // The first browser window; null once it has been closed.
  static BrowserWindow* mainWindow();
  static QList<BrowserWindow*> windows();

  // Opens another browser window on url.
  void openWindow(const QString& url = QString(), bool silent = false);

  [[nodiscard]] browser::BrowserEngine* engine() const { return m_engine; }
  [[nodiscard]] stealth::AutoHideController& autoHide() const { return *m_autoHide; }
  // A menu or toolbar command by its path ("File/Print", "View/Text Size/Medium",
  // "Toolbar/ZodorAzev"); null for an unknown path.
  [[nodiscard]] QAction* action(const QString& path) const { return m_actions.value(path); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  friend class WindowEventFilter;

  void buildControls();
  void buildToolbar();
  void buildMenus();
  using Run = void (*)(BrowserWindow&, browser::PageCommands&, bool checked);
  // What the command table's entry at path does; null for a path it does not hold.
  static Run commandFor(QStringView path);
  [[nodiscard]] QList<QAction*> textSizeActions() const;
  void connectEngine();
  void initWindow();
  void unload();
  void applyOpacity();

  // The caption, built now or, while the window is hidden, when it is back: a caption
  // never carries the page's title while its window is out of sight.
  void showCaption(std::function<QString()> build);
  void hiddenChanged(bool hidden);

  void showStatusText(const QString& text);
  void showPageTitle(const QString& text);
  void createPopupWindow(browser::BrowserEngine** target, bool* cancel);
  void showSecurity(browser::Security security);
  // The level new windows take: the main window's, or this window's once it is gone.
  [[nodiscard]] int newWindowLevel() const;
  // Transparency level and slider value of a new window.
  void takeLevel(int level);
  // What a window made from another takes from it: silence and Offline.
  void copyPageSettings(const BrowserWindow& from);

  // Window commands; the page's own are in browser::PageCommands.
  void openNewWindow();
  void openFile();
  void quitProgram();
  void updateTextSizeMarks();
  void showAbout();
  void runToolBarCommand(int index);

  QToolBar* m_toolBar = nullptr;
  QSlider* m_opacitySlider = nullptr;
  browser::AddressBox* m_addressBox = nullptr;
  QToolButton* m_goButton = nullptr;
  browser::BrowserEngine* m_engine = nullptr;
  browser::FindBar* m_findBar = nullptr;
  QStatusBar* m_statusBar = nullptr;
  QLabel* m_statusText = nullptr;
  QLabel* m_securityIcon = nullptr;
  std::unique_ptr<dialogs::OpenSaveDialog> m_fileDialog;
  std::unique_ptr<browser::PageCommands> m_commands;
  std::unique_ptr<stealth::AutoHideController> m_autoHide;
  QHash<QString, QAction*> m_actions;
  std::function<QString()> m_caption;
  bool m_unloaded = false;
  // A pop-up of the page on show was refused.
  bool m_popupBlocked = false;
};

}  // namespace app
