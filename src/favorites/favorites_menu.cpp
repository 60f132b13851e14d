#include "favorites/favorites_menu.h"

#include "browser/browser_engine.h"
#include "favorites/favorite_dialogs.h"
#include "favorites/favorites_scan.h"
#include "favorites/folder_source.h"
#include "favorites/profile_string.h"
#include "platform/desktop.h"
#include "platform/folders.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QUrl>

#include <memory>

namespace favorites {

namespace {

// A favourite's name is the page's title: an "&" in it is a character, not a shortcut.
QString plainCaption(QString caption) {
  return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

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

FavoritesMenu::FavoritesMenu(QMainWindow* window, browser::BrowserEngine* engine)
    : QMenu(tr("Favorites"), window), m_window(window), m_engine(engine) {
  setObjectName(QStringLiteral("mnuFavoritesMenu"));
  // The separator under the fixed entries shows even when nothing follows it.
  setSeparatorsCollapsible(false);
  m_addPage = addAction(tr("Add to Favorites..."), this, &FavoritesMenu::addCurrentPage);
  m_addPage->setShortcutContext(Qt::WindowShortcut);
  addAction(tr("Organize Favorites..."), this, &FavoritesMenu::organize);
  m_folderStart = addSeparator();
  rebuild();
}

void FavoritesMenu::rebuild() {
  const QList<QAction*> entries = actions();
  for (qsizetype i = entries.indexOf(m_folderStart) + 1; i < entries.size(); ++i) {
    removeAction(entries[i]);
    if (entries[i]->parent() == this) {
      delete entries[i];
    } else if (QMenu* sub = entries[i]->menu()) {
      sub->deleteLater();  // its actions go with it
    }
  }
  const QString folder = platform::favoritesFolder();
  addEntries(this, scanFavorites(folder.isEmpty() ? QString() : folder + QLatin1Char('/'),
                                 FolderListing()));
}

void FavoritesMenu::addEntries(QMenu* menu, const std::vector<MenuNode>& entries) {
  for (const MenuNode& node : entries) {
    if (node.isFolder) {
      addEntries(menu->addMenu(plainCaption(node.caption)), node.children);
      continue;
    }
    QAction* action = menu->addAction(plainCaption(node.caption));
    action->setData(node.path);
    connect(action, &QAction::triggered, this, [this, path = node.path] { openFavorite(path); });
  }
}

void FavoritesMenu::openFavorite(const QString& path) {
  if (m_engine.isNull() || path.isEmpty() || !QFileInfo::exists(path)) {
    return;
  }
  const QString extension = fileExtension(path).toLower();
  if (extension == QLatin1String("url")) {
    const QString address =
        readProfileFile(path, QStringLiteral("InternetShortcut"), QStringLiteral("URL"));
    // A shortcut with no address (unreadable, damaged or empty) leaves the page alone
    // rather than blanking it.
    if (!address.isEmpty() && address != m_engine->url()) {
      m_engine->load(address);
    }
  } else if (extension == QLatin1String("lnk") || extension == QLatin1String("desktop")) {
    // Shell links, and their counterpart on this desktop, a launcher file.
    platform::openExternally(QUrl::fromLocalFile(path));
  }
}

void FavoritesMenu::addCurrentPage() {
  if (m_engine.isNull()) {
    return;
  }
  // Held by the answer: it goes when the dialog has been answered or closed with its window.
  auto lock = std::make_shared<UpdateLock>(m_window);
  addFavorite(m_window, platform::favoritesFolder(), m_engine->url(),
              replaceExtension(m_engine->title(), QString()),
              [menu = QPointer<FavoritesMenu>(this), lock](DialogResult result, const QString&) {
                if (menu && result != DialogResult::Failed) {
                  menu->rebuild();
                }
              });
}

void FavoritesMenu::organize() {
  auto lock = std::make_shared<UpdateLock>(m_window);
  organizeFavorites(m_window, platform::favoritesFolder(),
                    [menu = QPointer<FavoritesMenu>(this), lock](DialogResult result) {
                      if (menu && result != DialogResult::Failed) {
                        menu->rebuild();
                      }
                    });
}

void addToFavorites(QWidget* window, browser::BrowserEngine* engine) {
  if (engine == nullptr) {
    return;
  }
  addFavorite(window, platform::favoritesFolder(), engine->url(), engine->title());
}

}  // namespace favorites
