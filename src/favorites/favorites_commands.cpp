#include "favorites/favorites_commands.h"

#include "app/command_table.h"
#include "browser/browser_engine.h"
#include "favorites/favorite_dialogs.h"
#include "favorites/folder_source.h"
#include "favorites/profile_string.h"
#include "platform/desktop.h"
#include "platform/folders.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QUrl>

namespace favorites {

namespace {

// The Favorites state of one window; a child of the window, so it goes with it.
class WindowState : public QObject {
 public:
  WindowState(QMainWindow* window, browser::BrowserEngine* engine)
      : QObject(window), engine(engine) {
    setObjectName(QStringLiteral("FavoritesState"));
  }

  FavoritesMenuTree tree;
  QPointer<QMenu> menu;
  QPointer<browser::BrowserEngine> engine;
  bool subclassed = false;
};

WindowState* stateOf(const QMainWindow* window) {
  return window == nullptr ? nullptr
                           : window->findChild<WindowState*>(QStringLiteral("FavoritesState"),
                                                             Qt::FindDirectChildrenOnly);
}

// A favourite's name is the page's title: an "&" in it is a character, not a shortcut.
QString plainCaption(QString caption) {
  return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void render(QMenu* menu, const std::vector<MenuNode>& nodes, QMainWindow* window) {
  for (const MenuNode& node : nodes) {
    switch (node.kind) {
      case MenuNode::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuNode::Kind::SubMenu: {
        QMenu* sub = menu->addMenu(plainCaption(node.caption));
        render(sub, node.children, window);
        break;
      }
      case MenuNode::Kind::Item: {
        QAction* action =
            menu->addAction(node.id > FAVORITE_ID_BASE ? plainCaption(node.caption) : node.caption);
        action->setData(node.id);
        const int id = node.id;
        if (id == ID_ADD_FAVORITE) {
          action->setShortcuts(app::keysOf(u"Favorites/Add to Favorites"));
          action->setShortcutContext(Qt::WindowShortcut);
        }
        QObject::connect(action, &QAction::triggered, window,
                         [window, id] { runFavoritesCommand(window, id); });
        break;
      }
    }
  }
}

}  // namespace

void buildFavoritesMenu(QMainWindow* window, browser::BrowserEngine* engine) {
  if (window == nullptr) {
    return;
  }
  if (WindowState* state = stateOf(window)) {
    if (engine != nullptr) {
      state->engine = engine;
    }
  } else {
    new WindowState(window, engine);
  }
  const QString folder = platform::favoritesFolder();
  const FolderListing listing;
  FavoritesMenuTree tree =
      scanFavorites(folder.isEmpty() ? QString() : folder + QLatin1Char('/'), listing);
  WindowState* state = stateOf(window);
  state->tree = std::move(tree);

  QMenuBar* bar = window->menuBar();
  auto* menu = new QMenu(QString::fromLatin1(kFavoritesMenuCaption), bar);
  menu->setObjectName(QStringLiteral("mnuFavoritesMenu"));
  // The separator under the fixed entries shows even when nothing follows it.
  menu->setSeparatorsCollapsible(false);
  render(menu, state->tree.entries, window);
  const QList<QAction*> top = bar->actions();
  bar->insertMenu(top.value(kFavoritesMenuPosition, nullptr), menu);
  state->menu = menu;
  state->subclassed = true;
}

void rebuildFavoritesMenu(QMainWindow* window) {
  WindowState* state = stateOf(window);
  if (state == nullptr) {
    return;
  }
  // Off first: no Favorites command reaches the window while its menu is half built.
  state->subclassed = false;
  if (!state->menu.isNull()) {
    window->menuBar()->removeAction(state->menu->menuAction());
    state->menu->deleteLater();
    state->menu = nullptr;
  }
  buildFavoritesMenu(window, nullptr);
  window->menuBar()->update();
}

bool runFavoritesCommand(QMainWindow* window, int command) {
  WindowState* state = stateOf(window);
  if (state == nullptr || !state->subclassed) {
    return false;
  }
  if (command > FAVORITE_ID_BASE) {
    if (const auto path = state->tree.fileForCommand(command)) {
      openFavorite(*path, window);
      return true;
    }
    return false;
  }
  if (command == ID_ADD_FAVORITE) {
    addPageToFavorites(window);
    return true;
  }
  if (command == ID_ORGANIZE_FAVORITES) {
    organizeFavorites(window);
    return true;
  }
  return false;
}

void openFavorite(const QString& path, QMainWindow* window) {
  WindowState* state = stateOf(window);
  if (state == nullptr || state->engine.isNull() || path.isEmpty() || !QFileInfo::exists(path)) {
    return;
  }
  const QString extension = GetFileExtension(path, false).toLower();
  if (extension == QLatin1String("url")) {
    const QString address =
        ReadIniString(path, QStringLiteral("InternetShortcut"), QStringLiteral("URL"));
    // A shortcut with no address (unreadable, damaged or empty) leaves the page alone
    // rather than blanking it.
    if (!address.isEmpty() && address != state->engine->url()) {
      state->engine->load(address);
    }
  } else if (extension == QLatin1String("lnk") || extension == QLatin1String("desktop")) {
    // Shell links, and their counterpart on this desktop, a launcher file.
    platform::openExternally(QUrl::fromLocalFile(path));
  }
}

namespace {
// Drawing of the window stays frozen while a dialog and the rebuild run.
class UpdateLock {
 public:
  explicit UpdateLock(QWidget* window) : m_window(window) { m_window->setUpdatesEnabled(false); }
  ~UpdateLock() {
    if (!m_window.isNull()) {
      m_window->setUpdatesEnabled(true);
    }
  }
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;

 private:
  QPointer<QWidget> m_window;
};
}  // namespace

void addPageToFavorites(QMainWindow* window) {
  WindowState* state = stateOf(window);
  if (state == nullptr || state->engine.isNull()) {
    return;
  }
  const UpdateLock lock(window);
  const QString address = state->engine->url();
  const QString title = state->engine->title();
  // The dialog runs its own event loop, in which the window may be closed.
  const QPointer<QMainWindow> alive(window);
  if (AddFavorite(window, platform::favoritesFolder(), address,
                  ReplaceExtension(title, QString())) == DialogResult::Failed ||
      alive.isNull()) {
    return;
  }
  rebuildFavoritesMenu(window);
}

void organizeFavorites(QMainWindow* window) {
  if (stateOf(window) == nullptr) {
    return;
  }
  const UpdateLock lock(window);
  const QPointer<QMainWindow> alive(window);
  if (DoOrganizeFavDlg(window, platform::favoritesFolder()) == DialogResult::Failed ||
      alive.isNull()) {
    return;
  }
  rebuildFavoritesMenu(window);
}

void addToFavorites(QMainWindow* window, browser::BrowserEngine* engine) {
  if (engine == nullptr) {
    return;
  }
  AddFavorite(window, platform::favoritesFolder(), engine->url(), engine->title());
}

QMenu* favoritesMenu(const QMainWindow* window) {
  WindowState* state = stateOf(window);
  return state != nullptr ? state->menu.data() : nullptr;
}

const FavoritesMenuTree* favoritesTree(const QMainWindow* window) {
  WindowState* state = stateOf(window);
  return state != nullptr ? &state->tree : nullptr;
}

}  // namespace favorites
