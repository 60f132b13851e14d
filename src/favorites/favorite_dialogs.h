#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace favorites {

enum class DialogResult { Accepted, Cancelled, Failed };

// The add-favourite dialog: prefilled with the page's title, it saves an internet
// shortcut for url into the Favorites folder or one of its folders. An existing
// favourite is never overwritten: the new one gets a numbered name.
// The dialog shows without waiting: done gets the result and the file written, when one
// was (at once when there is no Favorites folder to add to). A dialog closed with its
// owner calls nothing.
using AddFavoriteDone = std::function<void(DialogResult result, const QString& createdPath)>;
void addFavorite(QWidget* owner, const QString& favoritesFolder, const QString& url,
                 const QString& title, AddFavoriteDone done = {});

// The organise-favourites dialog on the Favorites folder: new folder, rename, move, delete.
// Shows without waiting, like AddFavorite; done is told once it has closed.
void organizeFavorites(QWidget* owner, const QString& favoritesFolder,
                       std::function<void(DialogResult result)> done = {});

}  // namespace favorites
