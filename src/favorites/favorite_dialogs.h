#pragma once

#include <QString>

class QWidget;

namespace favorites {

enum class DialogResult { Accepted, Cancelled, Failed };

// The add-favourite dialog: prefilled with the page's title, it saves an internet
// shortcut for url into the Favorites folder or one of its folders. An existing
// favourite is never overwritten: the new one gets a numbered name.
// createdPath receives the file written, when one was.
DialogResult AddFavorite(QWidget* owner, const QString& favoritesFolder, const QString& url,
                         const QString& title, QString* createdPath = nullptr);

// The organise-favourites dialog on the Favorites folder: new folder, rename, move, delete.
DialogResult DoOrganizeFavDlg(QWidget* owner, const QString& favoritesFolder);

}  // namespace favorites
