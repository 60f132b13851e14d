// The window's menu bar, built from the command table, its toolbar, and the commands that
// act on the window itself rather than on its page.
#include "app/browser_window.h"

#include "app/command_table.h"
#include "app/hide_all_key_dialog.h"
#include "app/icons.h"
#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/page_commands.h"
#include "browser/start_page.h"
#include "dialogs/about_dialog.h"
#include "favorites/favorites_menu.h"
#include "platform/desktop.h"
#include "proxy/proxy_settings_dialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenuBar>
#include <QPointer>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace app {

namespace {

constexpr int kSliderWidthPx = 224;

struct ButtonEntry {
  int index;
  const char* text;
};
constexpr ButtonEntry kButtons[] = {
    {BackButton, QT_TRANSLATE_NOOP("Commands", "Back")},
    {ForwardButton, QT_TRANSLATE_NOOP("Commands", "Forward")},
    {StopButton, QT_TRANSLATE_NOOP("Commands", "Stop")},
    {RefreshButton, QT_TRANSLATE_NOOP("Commands", "Refresh")},
    {HomeButton, QT_TRANSLATE_NOOP("Commands", "Home")},
    {SeparatorButton, ""},
    {ProxyButton, QT_TRANSLATE_NOOP("Commands", "Proxy")},
    {AutoHideButton, "ZodorAzev"},  // the feature's name
};

QString parentPath(const QString& path) { return path.section(QLatin1Char('/'), 0, -2); }

}  // namespace

void BrowserWindow::buildToolbar() {
  m_toolBar->setIconSize(QSize(20, 20));
  // Buttons show their images with the text as tool tip; "ZodorAzev" also shows its name.
  m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  int image = 1;
  for (const ButtonEntry& entry : kButtons) {
    if (entry.index == SeparatorButton) {
      m_toolBar->addSeparator();
      continue;
    }
    const QString name = QString::fromLatin1(entry.text);
    QAction* action = m_toolBar->addAction(toolbarImage(image++),
                                           QCoreApplication::translate("Commands", entry.text));
    action->setToolTip(action->text());
    m_actions.insert(QStringLiteral("Toolbar/") + name, action);
    auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action));
    button->setObjectName(name);
    button->setAccessibleName(action->text());
    if (entry.index == AutoHideButton) {
      action->setCheckable(true);
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
      connect(action, &QAction::triggered, this, [this, i = entry.index] { runToolBarCommand(i); });
    }
  }
  m_autoHide = std::make_unique<stealth::AutoHideController>(
      this, action(QStringLiteral("Toolbar/ZodorAzev")));
  // What AutoHide has to say (that it needs an X11 session) goes to the status bar.
  m_autoHide->notify = [this](const QString& text) { m_statusText->setText(text); };
  // The current page's caption, kept while hidden, not the one from the moment of hiding.
  m_autoHide->restoredCaption = [this]() -> std::optional<QString> {
    return m_caption ? std::optional(m_caption()) : std::nullopt;
  };

  m_opacitySlider = new QSlider(Qt::Horizontal, m_toolBar);
  m_opacitySlider->setObjectName(QStringLiteral("Slider1"));
  m_opacitySlider->setAccessibleName(tr("Transparency"));
  m_opacitySlider->setRange(kSliderMin, kSliderMax);
  m_opacitySlider->setSingleStep(1);
  m_opacitySlider->setPageStep(5);
  m_opacitySlider->setFixedWidth(kSliderWidthPx);
  m_toolBar->addWidget(m_opacitySlider);
  connect(m_opacitySlider, &QSlider::valueChanged, this, &BrowserWindow::applyOpacity);
  connect(m_opacitySlider, &QSlider::sliderMoved, this, [this] {
    // The pop-up text beside the thumb while it is dragged.
    QToolTip::showText(QCursor::pos(), m_opacitySlider->toolTip(), m_opacitySlider);
  });
}

// What each entry of the command table does, by its path.
BrowserWindow::Run BrowserWindow::commandFor(QStringView path) {
  using W = BrowserWindow;
  using P = browser::PageCommands;
  static const std::pair<const char*, Run> kRuns[] = {
      {"File/New", [](W& w, P&, bool) { w.openNewWindow(); }},
      {"File/Open", [](W& w, P&, bool) { w.openFile(); }},
      {"File/Save Page As", [](W&, P& p, bool) { p.savePageAs(); }},
      {"File/Print", [](W&, P& p, bool) { p.print(); }},
      {"File/Page Setup", [](W&, P& p, bool) { p.showPageSetup(); }},
      {"File/Print Preview", [](W&, P& p, bool) { p.showPrintPreview(); }},
      {"File/File Properties", [](W&, P& p, bool) { p.showFileProperties(); }},
      {"File/Work Offline", [](W&, P& p, bool checked) { p.setWorkOffline(checked); }},
      {"File/Close", [](W& w, P&, bool) { w.quitProgram(); }},
      {"Edit/Undo", [](W&, P& p, bool) { p.undo(); }},
      {"Edit/Cut", [](W&, P& p, bool) { p.cut(); }},
      {"Edit/Copy", [](W&, P& p, bool) { p.copy(); }},
      {"Edit/Paste", [](W&, P& p, bool) { p.paste(); }},
      {"Edit/Select All", [](W&, P& p, bool) { p.selectAll(); }},
      {"Edit/Find", [](W&, P& p, bool) { p.find(); }},
      {"View/Go to/Back", [](W& w, P&, bool) { w.runToolBarCommand(BackButton); }},
      {"View/Go to/Forward", [](W& w, P&, bool) { w.runToolBarCommand(ForwardButton); }},
      {"View/Go to/Home Page", [](W& w, P&, bool) { w.runToolBarCommand(HomeButton); }},
      {"View/Go to/Search", [](W& w, P&, bool) { w.m_engine->search(); }},
      {"View/Stop", [](W& w, P&, bool) { w.runToolBarCommand(StopButton); }},
      {"View/Refresh", [](W& w, P&, bool) { w.runToolBarCommand(RefreshButton); }},
      {"View/Text Size/Smallest", [](W& w, P&, bool) { w.m_engine->setTextSize(0); }},
      {"View/Text Size/Small", [](W& w, P&, bool) { w.m_engine->setTextSize(1); }},
      {"View/Text Size/Medium", [](W& w, P&, bool) { w.m_engine->setTextSize(2); }},
      {"View/Text Size/Large", [](W& w, P&, bool) { w.m_engine->setTextSize(3); }},
      {"View/Text Size/Largest", [](W& w, P&, bool) { w.m_engine->setTextSize(4); }},
      {"View/View Source", [](W&, P& p, bool) { p.viewSource(); }},
      {"Tools/Add to Favorites", [](W& w, P&, bool) { favorites::addToFavorites(&w, w.m_engine); }},
      {"Tools/Proxy Settings", [](W& w, P&, bool) { w.runToolBarCommand(ProxyButton); }},
      {"Tools/Hide-All Key", [](W& w, P&, bool) { showHideAllKeyDialog(&w); }},
      {"Tools/Internet Options", [](W&, P&, bool) { platform::openNetworkSettings(); }},
      {"Help/Help", [](W&, P& p, bool) { p.showHelp(); }},
      {"Help/About", [](W& w, P&, bool) { w.showAbout(); }},
      {"Keys/New Window", [](W& w, P&, bool) { w.openNewWindow(); }},
      {"Keys/Address", [](W& w, P&, bool) { w.m_addressBox->focusAndSelectAll(); }},
      {"Keys/Larger", [](W&, P& p, bool) { p.stepTextSize(+1); }},
      {"Keys/Smaller", [](W&, P& p, bool) { p.stepTextSize(-1); }},
      {"Keys/Close Window", [](W& w, P&, bool) { w.close(); }},
  };
  for (const auto& [at, run] : kRuns) {
    if (path == QLatin1String(at)) {
      return run;
    }
  }
  return nullptr;
}

void BrowserWindow::buildMenus() {
  QHash<QString, QMenu*> menus;
  // A menu is made when its first entry comes, so menus keep the order of their entries.
  const std::function<QMenu*(const QString&)> menuAt = [&](const QString& path) -> QMenu* {
    if (QMenu* made = menus.value(path)) {
      return made;
    }
    const QString parent = parentPath(path);
    QString caption;
    for (const MenuHeading& heading : menuHeadings()) {
      if (path == QLatin1String(heading.path)) {
        caption = QCoreApplication::translate("Commands", heading.caption);
        break;
      }
    }
    QMenu* menu = parent.isEmpty() ? menuBar()->addMenu(caption) : menuAt(parent)->addMenu(caption);
    menus.insert(path, menu);
    return menu;
  };
  for (const CommandEntry& entry : commandEntries()) {
    if ((entry.flags & (InOtherMenu | ControlKey | DesktopKey)) != 0) {
      continue;
    }
    const QString path = QString::fromLatin1(entry.path);
    const Run run = commandFor(path);
    if (run == nullptr) {
      qFatal("No command for %s", entry.path);
    }
    auto* action = new QAction(QCoreApplication::translate("Commands", entry.caption), this);
    action->setShortcuts(keysOf(entry));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setCheckable((entry.flags & Checkable) != 0);
    connect(action, &QAction::triggered, this,
            [this, run](bool checked) { run(*this, *m_commands, checked); });
    m_actions.insert(path, action);
    const QString menuPath = parentPath(path);
    if (menuPath == QLatin1String("Keys")) {
      addAction(action);  // a key of the window, in no menu
      continue;
    }
    QMenu* menu = menuAt(menuPath);
    if ((entry.flags & SeparatorBefore) != 0) {
      menu->addSeparator();
    }
    menu->addAction(action);
    action->setVisible((entry.flags & HiddenEntry) == 0);
  }
  // The size marks follow the engine's level when a menu opens; a click leaves them alone.
  for (const char* path : {"View", "View/Text Size"}) {
    connect(menus[QLatin1String(path)], &QMenu::aboutToShow, this,
            &BrowserWindow::updateTextSizeMarks);
  }
  for (QAction* size : textSizeActions()) {
    connect(size, &QAction::triggered, size, [size](bool checked) { size->setChecked(!checked); });
  }
}

QList<QAction*> BrowserWindow::textSizeActions() const {
  QList<QAction*> sizes;  // smallest first, as the levels go
  for (const CommandEntry& entry : commandEntries()) {
    const QString path = QString::fromLatin1(entry.path);
    if (parentPath(path) == QLatin1String("View/Text Size")) {
      sizes.append(action(path));
    }
  }
  return sizes;
}

void BrowserWindow::updateTextSizeMarks() {
  const int level = m_engine->textSize();
  const QList<QAction*> sizes = textSizeActions();
  for (int i = 0; i < sizes.size(); ++i) {
    sizes[i]->setChecked(i == level);
  }
}

void BrowserWindow::openNewWindow() {
  const int level = newWindowLevel();
  auto* window = new BrowserWindow();
  window->copyPageSettings(*this);
  window->m_engine->load(m_engine->url());
  window->show();
  window->takeLevel(level);
}

void BrowserWindow::openFile() {
  if (!m_fileDialog) {
    return;
  }
  m_fileDialog->setOwner(this);
  m_fileDialog->setFilter(
      QCoreApplication::translate("dialogs::OpenSaveDialog", dialogs::kOpenCommandFilter));
  m_fileDialog->setOptions(dialogs::OpenSaveDialog::ReadOnly);
  // The choice arrives once the dialog closes; a cancel leaves nothing to do. The earlier
  // show's connection goes first, or a cancelled one would load this choice twice.
  m_fileDialog->disconnect(this);
  connect(m_fileDialog.get(), &dialogs::OpenSaveDialog::accepted, this,
          [this] { m_engine->load(m_fileDialog->fileName()); });
  m_fileDialog->showOpen();
}

void BrowserWindow::quitProgram() {
  unload();
  emit WindowEvents::instance().endProgram();
}

void BrowserWindow::showAbout() {
  // Owned by the main window, and its link leads there, whichever window asked.
  BrowserWindow* main = mainWindow() != nullptr ? mainWindow() : this;
  dialogs::showAbout(main, [main = QPointer<BrowserWindow>(main)](const QUrl& page) {
    if (main) {
      main->m_engine->load(page.toString());
    }
  });
}

void BrowserWindow::runToolBarCommand(int index) {
  switch (index) {
    case BackButton:
      m_engine->back();
      break;
    case ForwardButton:
      m_engine->forward();
      break;
    case StopButton:
      m_engine->stop();
      break;
    case RefreshButton:
      m_engine->reload();
      break;
    case HomeButton:
      m_engine->home();
      break;
    case ProxyButton:
      proxy::showProxySettingsDialog(this);
      break;
    default:
      // 6 is the separator; 8 ("ZodorAzev") is read by the timer, not clicked.
      break;
  }
}

}  // namespace app
