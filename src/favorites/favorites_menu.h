#pragma once

#include "favorites/favorites_scan.h"

#include <QMenu>
#include <QPointer>

class QMainWindow;

namespace browser {
class BrowserEngine;
}

namespace favorites {

// The Favorites menu of one browser window: Add to Favorites, Organize Favorites, then
// the Favorites folder's sub-folders and favourites, each entry holding its file.
class FavoritesMenu : public QMenu {
  Q_OBJECT

 public:
  FavoritesMenu(QMainWindow* window, browser::BrowserEngine* engine);

  // Reads the Favorites folder again.
  void rebuild();

  // Opens a favourite: a shortcut's address in the window, a launcher by the desktop.
  void openFavorite(const QString& path);
  // Saves the page as a favourite (its title less its extension suggested), then rebuilds.
  void addCurrentPage();
  // Runs the organise dialog, then rebuilds.
  void organize();

  // Add to Favorites; its keys are the window's to give.
  [[nodiscard]] QAction* addPageAction() const { return m_addPage; }

 private:
  void addEntries(QMenu* menu, const std::vector<MenuNode>& entries);

  QMainWindow* m_window;
  QPointer<browser::BrowserEngine> m_engine;
  QAction* m_addPage;
  QAction* m_folderStart;  // the separator under the fixed entries
};

// The Tools menu's Add to Favorites: the page's title passed whole, the menu left as it is.
void addToFavorites(QWidget* window, browser::BrowserEngine* engine);

}  // namespace favorites
