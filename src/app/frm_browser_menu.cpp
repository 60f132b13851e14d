// The window's menu bar and toolbar, declared as one table each, and the commands that
// act on the window itself rather than on its page.
#include "app/frm_browser.h"

#include "app/hide_all_key_dialog.h"
#include "app/icons.h"
#include "browser/address_box.h"
#include "browser/browser_engine.h"
#include "browser/page_commands.h"
#include "browser/start_page.h"
#include "dialogs/about_dialog.h"
#include "favorites/mod_faves.h"
#include "platform/command_line.h"
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

constexpr int kSliderWidthPx = 224;  // 3360 twips

enum Flag : unsigned { kPlain = 0, kCheckable = 1, kHidden = 2, kSeparatorBefore = 4 };

// One entry of the menu bar: where it sits ("Menu/Sub menu/Entry", the last part naming
// the entry), its caption, its keys (the first one is shown in the menu) and its command.
struct MenuEntry {
  const char* path;
  const char* caption;
  const char* keys;  // portable text, "; " between keys
  void (*run)(frmBrowser&, browser::PageCommands&, bool checked);
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
    {kButtonBack, "Back"},       {kButtonForward, "Forward"},     {kButtonStop, "Stop"},
    {kButtonRefresh, "Refresh"}, {kButtonHome, "Home"},           {kButtonSeparator, ""},
    {kButtonProxy, "Proxy"},     {kButtonZodorAzev, "ZodorAzev"},
};

constexpr const char* kFontSizeCaptions[] = {"Smallest", "Small", "Medium", "Large", "Largest"};

QString parentPath(const QString& path) { return path.section(QLatin1Char('/'), 0, -2); }

}  // namespace

void frmBrowser::buildToolbar() {
  Toolbar1->setIconSize(QSize(20, 20));
  // Buttons show their images with the text as tool tip; ZodorAzev also shows its name.
  Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  Toolbar1->setMovable(false);
  Toolbar1->setFloatable(false);
  int image = 1;
  for (const ButtonSpec& entry : kButtons) {
    if (entry.index == kButtonSeparator) {
      Toolbar1->addSeparator();
      continue;
    }
    QAction* action = Toolbar1->addAction(toolbarImage(image++), QString::fromLatin1(entry.text));
    action->setToolTip(action->text());
    m_actions.insert(QStringLiteral("Toolbar/") + action->text(), action);
    auto* button = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action));
    button->setObjectName(action->text());
    button->setAccessibleName(action->text());
    if (entry.index == kButtonZodorAzev) {
      action->setCheckable(true);
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
      connect(action, &QAction::triggered, this,
              [this, i = entry.index] { Toolbar1_ButtonClick(i); });
    }
  }
  m_zodorAzev = std::make_unique<stealth::ZodorAzevAdapter>(
      this, action(QStringLiteral("Toolbar/ZodorAzev")));
  // What ZodorAzev has to say (that it needs an X11 session) goes to the status bar.
  m_zodorAzev->notify = [this](const QString& text) { StatusPanel1->setText(text); };

  Slider1 = new QSlider(Qt::Horizontal, Toolbar1);
  Slider1->setObjectName(QStringLiteral("Slider1"));
  Slider1->setAccessibleName(QStringLiteral("Transparency"));
  Slider1->setRange(kSliderMin, kSliderMax);
  Slider1->setSingleStep(1);
  Slider1->setPageStep(5);
  Slider1->setFixedWidth(kSliderWidthPx);
  Toolbar1->addWidget(Slider1);
  connect(Slider1, &QSlider::valueChanged, this, &frmBrowser::Slider1_Change);
  connect(Slider1, &QSlider::sliderMoved, this, [this] {
    // The pop-up text beside the thumb while it is dragged.
    QToolTip::showText(QCursor::pos(), Slider1->toolTip(), Slider1);
  });
}

void frmBrowser::buildMenus() {
  using W = frmBrowser;
  using P = browser::PageCommands;
  static const MenuEntry kEntries[] = {
      {"File/New", "&New", "", [](W& w, P&, bool) { w.mnuFileNew_Click(); }},
      {"File/Open", "&Open...", "Ctrl+O", [](W& w, P&, bool) { w.mnuOpen_Click(); }},
      {"File/Save Page As", "&Save Page As...", "Ctrl+S",
       [](W&, P& p, bool) { p.mnuSavePageAs_Click(); }, kSeparatorBefore},
      {"File/Print", "Print", "Ctrl+P", [](W&, P& p, bool) { p.mnuPrint_Click(); },
       kSeparatorBefore},
      {"File/Page Setup", "Page Setup", "", [](W&, P& p, bool) { p.mnuPageSetup_Click(); }},
      {"File/Print Preview", "Print Preview", "",
       [](W&, P& p, bool) { p.mnuPrintPreview_Click(); }},
      {"File/File Properties", "File Properties", "",
       [](W&, P& p, bool) { p.mnuFileProperties_Click(); }, kSeparatorBefore},
      {"File/Work Offline", "Work Offline", "",
       [](W&, P& p, bool checked) { p.mnuWorkOffline_Click(checked); }, kCheckable},
      {"File/Close", "&Close", "", [](W& w, P&, bool) { w.mnuClose_Click(); }},
      {"Edit/Undo", "Undo", "", [](W&, P& p, bool) { p.mnuEditUndo_Click(); }},
      {"Edit/Cut", "Cut", "", [](W&, P& p, bool) { p.mnuEditCut_Click(); }, kSeparatorBefore},
      {"Edit/Copy", "Copy", "", [](W&, P& p, bool) { p.mnuEditCopy_Click(); }},
      {"Edit/Paste", "Paste", "", [](W&, P& p, bool) { p.mnuEditPaste_Click(); }},
      {"Edit/Select All", "Select All", "Ctrl+A", [](W&, P& p, bool) { p.mnuEditSelAll_Click(); },
       kSeparatorBefore},
      {"Edit/Find", "Find on this page", "Ctrl+F", [](W&, P& p, bool) { p.mnuEditFind_Click(); },
       kSeparatorBefore},
      {"View/Go to/Back", "&Back", "Alt+Left",
       [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonBack); }},
      {"View/Go to/Forward", "&Forward", "Alt+Right",
       [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonForward); }},
      {"View/Go to/Home Page", "&Home Page", "Alt+Home",
       [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonHome); }, kSeparatorBefore},
      {"View/Go to/Search", "Search", "",
       [](W& w, P&, bool) { w.WebBrowser1->invoke(browser::DispId::GoSearch); }},
      {"View/Stop", "Sto&p", "Esc", [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonStop); }},
      {"View/Refresh", "&Refresh", "F5; Ctrl+R",
       [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonRefresh); }},
      {"View/Text Size/Smallest", kFontSizeCaptions[0], "",
       [](W&, P& p, bool) { p.mnuViewFontSize_Click(0); }, kCheckable},
      {"View/Text Size/Small", kFontSizeCaptions[1], "",
       [](W&, P& p, bool) { p.mnuViewFontSize_Click(1); }, kCheckable},
      {"View/Text Size/Medium", kFontSizeCaptions[2], "Ctrl+0",
       [](W&, P& p, bool) { p.mnuViewFontSize_Click(2); }, kCheckable},
      {"View/Text Size/Large", kFontSizeCaptions[3], "",
       [](W&, P& p, bool) { p.mnuViewFontSize_Click(3); }, kCheckable},
      {"View/Text Size/Largest", kFontSizeCaptions[4], "",
       [](W&, P& p, bool) { p.mnuViewFontSize_Click(4); }, kCheckable},
      {"View/View Source", "View Source", "Ctrl+U",
       [](W&, P& p, bool) { p.mnuViewSource_Click(); }},
      // Both start hidden: adding a page stays in the Favorites menu, the proxy dialog on
      // the toolbar.
      {"Tools/Add to Favorites", "Add to Favorites", "",
       [](W& w, P&, bool) { favorites::AddToFavorites(&w, w.WebBrowser1); }, kHidden},
      {"Tools/Proxy Settings", "&Proxy Settings...", "",
       [](W& w, P&, bool) { w.Toolbar1_ButtonClick(kButtonProxy); }, kHidden},
      {"Tools/Hide-All Key", "&Hide-All Key...", "",
       [](W& w, P&, bool) { showHideAllKeyDialog(&w); }},
      {"Tools/Internet Options", "Internet Options", "",
       [](W&, P&, bool) {
         platform::startCommandLine(QString::fromLatin1(platform::kInternetOptionsCommandLine));
       }},
      {"Help/Help", "Help", "", [](W&, P& p, bool) { p.mnuHelp2_Click(); }},
      {"Help/About", "About", "", [](W& w, P&, bool) { w.mnuAbout_Click(); }},
      // Keys every browser has, with no entry of their own.
      {"Keys/Address", "Address", "Ctrl+L; Alt+D; F6",
       [](W& w, P&, bool) { w.txtURL->focusAndSelectAll(); }, kHidden},
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
      connect(sizes, &QMenu::aboutToShow, this, &frmBrowser::mnuViewTextSize_Click);
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
          &frmBrowser::mnuViewTextSize_Click);
  // Setting a size leaves the marks alone: they follow the engine when a menu opens.
  for (const char* caption : kFontSizeCaptions) {
    QAction* size = action(QStringLiteral("View/Text Size/") + QLatin1String(caption));
    connect(size, &QAction::triggered, size, [size](bool checked) { size->setChecked(!checked); });
  }
}

void frmBrowser::mnuViewTextSize_Click() {
  const auto level = m_commands->textSizeLevel();
  if (!level) {
    return;
  }
  for (int i = 0; i < browser::kTextSizeLevels; ++i) {
    action(QStringLiteral("View/Text Size/") + QLatin1String(kFontSizeCaptions[i]))
        ->setChecked(i == *level);
  }
}

void frmBrowser::mnuFileNew_Click() {
  const int level = newWindowLevel();
  auto* window = new frmBrowser();
  window->copyPageSettings(*this);
  window->WebBrowser1->Navigate(WebBrowser1->LocationURL());
  window->show();
  window->takeLevel(level);
}

void frmBrowser::mnuOpen_Click() {
  if (!fdMain) {
    return;
  }
  try {
    fdMain->setHwnd(this);
    fdMain->setFilter(QString::fromLatin1(dialogs::kOpenCommandFilter));
    fdMain->setFlags(dialogs::kOpenCommandFlags);
    // Cancel ends the command through the error; nothing is shown.
    fdMain->setCancelError(true);
    fdMain->ShowOpen();
  } catch (const dialogs::FileDialogError&) {
    return;
  }
  update();
  WebBrowser1->Navigate(fdMain->FileName());
}

void frmBrowser::mnuClose_Click() {
  int cancel = 0;
  Form_Unload(cancel);
  emit WindowEvents::instance().endProgram();
}

void frmBrowser::mnuAbout_Click() {
  // Owned by the main window, and its link leads there, whichever window asked.
  frmBrowser* main = mainWindow() != nullptr ? mainWindow() : this;
  dialogs::showAbout(main, [main = QPointer<frmBrowser>(main)](const QUrl& page) {
    if (main) {
      main->WebBrowser1->Navigate(page.toString());
    }
  });
}

void frmBrowser::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case kButtonBack:
      WebBrowser1->invoke(browser::DispId::GoBack);
      break;
    case kButtonForward:
      WebBrowser1->invoke(browser::DispId::GoForward);
      break;
    case kButtonStop:
      WebBrowser1->invoke(browser::DispId::Stop);
      break;
    case kButtonRefresh:
      WebBrowser1->invoke(browser::DispId::Refresh);
      break;
    case kButtonHome:
      WebBrowser1->invoke(browser::DispId::GoHome);
      break;
    case kButtonProxy:
      proxy::showProxySettingsDialog(this);
      break;
    default:
      // 6 is the separator; 8 (ZodorAzev) is read by the timer, not clicked.
      break;
  }
}

}  // namespace app
