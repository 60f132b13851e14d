// The window's menu bar and toolbar, declared as one table each, and the commands that
// act on the window itself rather than on its page.
#include "app/browser_window.h"

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

enum Flag : unsigned { kPlain = 0, kCheckable = 1, kHidden = 2, kSeparatorBefore = 4 };

// One entry of the menu bar: where it sits ("Menu/Sub menu/Entry", the last part naming
// the entry), its caption, its keys (the first one is shown in the menu) and its command.
struct MenuEntry {
  const char* path;
  const char* caption;
  const char* keys;  // portable text, "; " between keys
  void (*run)(BrowserWindow&, browser::PageCommands&, bool checked);
  unsigned flags = kPlain;
};

// Top-level menus and sub-menus, by path, with their captions.
struct MenuSpec {
  const char* path;
  const char* caption;
};
constexpr MenuSpec kMenus[] = {
    {"File", "&File"},        {"Edit", "&Edit"},   {"View", "&View"},
    {"View/Go to", "G&o to"}, {"Tools", "&Tools"}, {"Help", "&Help"},
};

struct ButtonSpec {
  int index;
  const char* text;
};
constexpr ButtonSpec kButtons[] = {
    {kButtonBack, "Back"},       {kButtonForward, "Forward"},    {kButtonStop, "Stop"},
    {kButtonRefresh, "Refresh"}, {kButtonHome, "Home"},          {kButtonSeparator, ""},
    {kButtonProxy, "Proxy"},     {kButtonAutoHide, "ZodorAzev"},
};

constexpr const char* kFontSizeCaptions[] = {"Smallest", "Small", "Medium", "Large", "Largest"};

QString parentPath(const QString& path) { return path.section(QLatin1Char('/'), 0, -2); }

}  // namespace

void BrowserWindow::buildToolbar() {
  m_toolBar->setIconSize(QSize(20, 20));
  // Buttons show their images with the text as tool tip; "ZodorAzev" also shows its name.
  m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  int image = 1;
  for (const ButtonSpec& entry : kButtons) {
    if (entry.index == kButtonSeparator) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = m_toolBar->addAction(toolbarImage(image++), QString::fromLatin1(entry.text));
    action->setToolTip(action->text());
    m_actions.insert(QStringLiteral("Toolbar/") + action->text(), action);
    auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action));
    button->setObjectName(action->text());
    button->setAccessibleName(action->text());
    if (entry.index == kButtonAutoHide) {
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

  m_opacitySlider = new QSlider(Qt::Horizontal, m_toolBar);
  m_opacitySlider->setObjectName(QStringLiteral("Slider1"));
  m_opacitySlider->setAccessibleName(QStringLiteral("Transparency"));
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

void BrowserWindow::buildMenus() {
  using W = BrowserWindow;
  using P = browser::PageCommands;
  static const MenuEntry kEntries[] = {
      {"File/New", "&New", "", [](W& w, P&, bool) { w.openNewWindow(); }},
      {"File/Open", "&Open...", "Ctrl+O", [](W& w, P&, bool) { w.openFile(); }},
      {"File/Save Page As", "&Save Page As...", "Ctrl+S", [](W&, P& p, bool) { p.savePageAs(); },
       kSeparatorBefore},
      {"File/Print", "Print", "Ctrl+P", [](W&, P& p, bool) { p.print(); }, kSeparatorBefore},
      {"File/Page Setup", "Page Setup", "", [](W&, P& p, bool) { p.showPageSetup(); }},
      {"File/Print Preview", "Print Preview", "", [](W&, P& p, bool) { p.showPrintPreview(); }},
      {"File/File Properties", "File Properties", "",
       [](W&, P& p, bool) { p.showFileProperties(); }, kSeparatorBefore},
      {"File/Work Offline", "Work Offline", "",
       [](W&, P& p, bool checked) { p.setWorkOffline(checked); }, kCheckable},
      {"File/Close", "&Close", "", [](W& w, P&, bool) { w.quitProgram(); }},
      {"Edit/Undo", "Undo", "", [](W&, P& p, bool) { p.undo(); }},
      {"Edit/Cut", "Cut", "", [](W&, P& p, bool) { p.cut(); }, kSeparatorBefore},
      {"Edit/Copy", "Copy", "", [](W&, P& p, bool) { p.copy(); }},
      {"Edit/Paste", "Paste", "", [](W&, P& p, bool) { p.paste(); }},
      {"Edit/Select All", "Select All", "Ctrl+A", [](W&, P& p, bool) { p.selectAll(); },
       kSeparatorBefore},
      {"Edit/Find", "Find on this page", "Ctrl+F", [](W&, P& p, bool) { p.find(); },
       kSeparatorBefore},
      {"View/Go to/Back", "&Back", "Alt+Left",
       [](W& w, P&, bool) { w.runToolBarCommand(kButtonBack); }},
      {"View/Go to/Forward", "&Forward", "Alt+Right",
       [](W& w, P&, bool) { w.runToolBarCommand(kButtonForward); }},
      {"View/Go to/Home Page", "&Home Page", "Alt+Home",
       [](W& w, P&, bool) { w.runToolBarCommand(kButtonHome); }, kSeparatorBefore},
      {"View/Go to/Search", "Search", "", [](W& w, P&, bool) { w.m_engine->search(); }},
      {"View/Stop", "Sto&p", "Esc", [](W& w, P&, bool) { w.runToolBarCommand(kButtonStop); }},
      {"View/Refresh", "&Refresh", "F5; Ctrl+R",
       [](W& w, P&, bool) { w.runToolBarCommand(kButtonRefresh); }},
      {"View/Text Size/Smallest", kFontSizeCaptions[0], "",
       [](W& w, P&, bool) { w.m_engine->setTextSize(0); }, kCheckable},
      {"View/Text Size/Small", kFontSizeCaptions[1], "",
       [](W& w, P&, bool) { w.m_engine->setTextSize(1); }, kCheckable},
      {"View/Text Size/Medium", kFontSizeCaptions[2], "Ctrl+0",
       [](W& w, P&, bool) { w.m_engine->setTextSize(2); }, kCheckable},
      {"View/Text Size/Large", kFontSizeCaptions[3], "",
       [](W& w, P&, bool) { w.m_engine->setTextSize(3); }, kCheckable},
      {"View/Text Size/Largest", kFontSizeCaptions[4], "",
       [](W& w, P&, bool) { w.m_engine->setTextSize(4); }, kCheckable},
      {"View/View Source", "View Source", "Ctrl+U", [](W&, P& p, bool) { p.viewSource(); }},
      // Both start hidden: adding a page stays in the Favorites menu, the proxy dialog on
      // the toolbar.
      {"Tools/Add to Favorites", "Add to Favorites", "",
       [](W& w, P&, bool) { favorites::addToFavorites(&w, w.m_engine); }, kHidden},
      {"Tools/Proxy Settings", "&Proxy Settings...", "",
       [](W& w, P&, bool) { w.runToolBarCommand(kButtonProxy); }, kHidden},
      {"Tools/Hide-All Key", "&Hide-All Key...", "",
       [](W& w, P&, bool) { showHideAllKeyDialog(&w); }},
      {"Tools/Internet Options", "Internet Options", "",
       [](W&, P&, bool) { platform::openNetworkSettings(); }},
      {"Help/Help", "Help", "", [](W&, P& p, bool) { p.showHelp(); }},
      {"Help/About", "About", "", [](W& w, P&, bool) { w.showAbout(); }},
      // Keys every browser has, with no entry of their own.
      {"Keys/Address", "Address", "Ctrl+L; Alt+D; F6",
       [](W& w, P&, bool) { w.m_addressBox->focusAndSelectAll(); }, kHidden},
      {"Keys/Larger", "Larger", "Ctrl++; Ctrl+=", [](W&, P& p, bool) { p.stepTextSize(+1); },
       kHidden},
      {"Keys/Smaller", "Smaller", "Ctrl+-", [](W&, P& p, bool) { p.stepTextSize(-1); }, kHidden},
      {"Keys/Close Window", "Close Window", "Ctrl+W", [](W& w, P&, bool) { w.close(); }, kHidden},
  };

  QHash<QString, QMenu*> menus;
  for (const MenuSpec& heading : kMenus) {
    const QString path = QString::fromLatin1(heading.path);
    const QString parent = parentPath(path);
    const QString caption = QString::fromLatin1(heading.caption);
    menus.insert(path,
                 parent.isEmpty() ? menuBar()->addMenu(caption) : menus[parent]->addMenu(caption));
  }
  for (const MenuEntry& entry : kEntries) {
    const QString path = QString::fromLatin1(entry.path);
    const QString menuPath = parentPath(path);
    auto* action = new QAction(QString::fromLatin1(entry.caption), this);
    action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(entry.keys)));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setCheckable((entry.flags & kCheckable) != 0);
    connect(action, &QAction::triggered, this,
            [this, run = entry.run](bool checked) { run(*this, *m_commands, checked); });
    m_actions.insert(path, action);
    if (menuPath == QLatin1String("Keys")) {
      addAction(action);  // a key of the window, in no menu
      continue;
    }
    if (menuPath == QLatin1String("View/Text Size") && !menus.contains(menuPath)) {
      // "Text Size" follows "Refresh" in the View menu; its marks follow the engine's level.
      QMenu* sizes = menus[QStringLiteral("View")]->addMenu(QStringLiteral("Text Size"));
      connect(sizes, &QMenu::aboutToShow, this, &BrowserWindow::updateTextSizeMarks);
      menus.insert(menuPath, sizes);
    }
    QMenu* menu = menus.value(menuPath);
    if ((entry.flags & kSeparatorBefore) != 0) {
      menu->addSeparator();
    }
    menu->addAction(action);
    action->setVisible((entry.flags & kHidden) == 0);
  }
  connect(menus[QStringLiteral("View")], &QMenu::aboutToShow, this,
          &BrowserWindow::updateTextSizeMarks);
  // Setting a size leaves the marks alone: they follow the engine when a menu opens.
  for (const char* caption : kFontSizeCaptions) {
    QAction* size = action(QStringLiteral("View/Text Size/") + QLatin1String(caption));
    connect(size, &QAction::triggered, size, [size](bool checked) { size->setChecked(!checked); });
  }
}

void BrowserWindow::updateTextSizeMarks() {
  const int level = m_engine->textSize();
  for (int i = 0; i < browser::kTextSizeLevels; ++i) {
    action(QStringLiteral("View/Text Size/") + QLatin1String(kFontSizeCaptions[i]))
        ->setChecked(i == level);
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
  m_fileDialog->setFilter(QString::fromLatin1(dialogs::kOpenCommandFilter));
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
    case kButtonBack:
      m_engine->back();
      break;
    case kButtonForward:
      m_engine->forward();
      break;
    case kButtonStop:
      m_engine->stop();
      break;
    case kButtonRefresh:
      m_engine->reload();
      break;
    case kButtonHome:
      m_engine->home();
      break;
    case kButtonProxy:
      proxy::showProxySettingsDialog(this);
      break;
    default:
      // 6 is the separator; 8 ("ZodorAzev") is read by the timer, not clicked.
      break;
  }
}

}  // namespace app
