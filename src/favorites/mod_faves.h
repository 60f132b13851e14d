#pragma once

#include "favorites/favorites_menu.h"

class QMainWindow;
class QMenu;

namespace browser {
class BrowserEngine;
}

namespace favorites {

// Message numbers the Favorites dispatch answers, as its window procedure would.
inline constexpr unsigned WM_CLOSE = 0x10;
inline constexpr unsigned WM_COMMAND = 0x111;

// Builds the Favorites menu of a browser window from the Favorites folder, inserts it
// at position 4 of its menu bar and installs the window's Favorites dispatch. Each
// window keeps its own id table, so one window's rebuild never re-points another's items.
void BuildFavoritesMenu(QMainWindow* window, browser::BrowserEngine* engine);

// Takes the dispatch off, detaches the old menu and builds anew.
void RebuildFavoritesMenu(QMainWindow* window);

// The dispatch of one window: the close message takes it off; a command message with a
// Favorites number runs that command. Returns true when it handled the message.
bool FavoritesWindowProc(QMainWindow* window, unsigned message, int wParam);

// The Favorites commands.
void OpenFavorite(const QString& path, QMainWindow* window);
void AddPageToFavorites(QMainWindow* window);
void OrganizeFavorites(QMainWindow* window);

// The Tools menu's Add to Favorites: the page's title passed whole, no rebuild.
void AddToFavorites(QMainWindow* window, browser::BrowserEngine* engine);

// The window's current Favorites menu and id table (null / empty when none).
QMenu* favoritesMenu(const QMainWindow* window);
const FavoritesMenuTree* favoritesTree(const QMainWindow* window);
bool isSubclassed(const QMainWindow* window);

}  // namespace favorites
