#pragma once
// The Favorites menu of each browser window and its commands.
//
// There is no window procedure to subclass here. Its part is played by one dispatch per
// window: every item of the built menu hands its command number to
// runFavoritesCommand, which picks the Favorites commands out by number (1097, 1098 and
// above 1100) as the window procedure picks them out of its command messages.
// "Subclassed" means that this dispatch is on: a build turns it on, a rebuild turns it
// off until the new menu stands, and it goes with the window.

#include "favorites/favorites_menu.h"

class QMainWindow;
class QMenu;

namespace browser {
class BrowserEngine;
}

namespace favorites {

// Builds the Favorites menu of a browser window from the Favorites folder, inserts it
// at position 4 of its menu bar and turns the window's Favorites dispatch on. Each
// window keeps its own id table, so one window's rebuild never re-points another's items.
// No events run during the scan, so it is safe while the engine waits on a new window.
void buildFavoritesMenu(QMainWindow* window, browser::BrowserEngine* engine);

// Turns the dispatch off, detaches the old menu and builds anew.
void rebuildFavoritesMenu(QMainWindow* window);

// The dispatch of one window: runs the Favorites command with this number. Returns true
// when the number named one.
bool runFavoritesCommand(QMainWindow* window, int command);

// The Favorites commands.
void openFavorite(const QString& path, QMainWindow* window);
void addPageToFavorites(QMainWindow* window);
void organizeFavorites(QMainWindow* window);

// The Tools menu's Add to Favorites: the page's title passed whole, no rebuild.
void addToFavorites(QMainWindow* window, browser::BrowserEngine* engine);

// The window's current Favorites menu and id table (null when none).
QMenu* favoritesMenu(const QMainWindow* window);
const FavoritesMenuTree* favoritesTree(const QMainWindow* window);

}  // namespace favorites
