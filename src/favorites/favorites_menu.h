#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace favorites {

// Command numbers of the Favorites menu. Every number above kFavoriteIdBase names a file.
inline constexpr int ID_ADD_FAVORITE = 1097;
inline constexpr int ID_ORGANIZE_FAVORITES = 1098;
inline constexpr int ID_FAVORITES_SEPARATOR = 1099;
inline constexpr int FAVORITE_ID_BASE = 1100;

inline constexpr const char* kAddFavoriteCaption = "Add to Favorites...";
inline constexpr const char* kOrganizeFavoritesCaption = "Organize Favorites...";
inline constexpr const char* kFavoritesMenuCaption = "Favorites";
inline constexpr int kFavoritesMenuPosition = 4;

// File attributes as the listing reports them.
enum FileAttribute : unsigned {
  kAttrReadOnly = 0x1,
  kAttrHidden = 0x2,
  kAttrSystem = 0x4,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrReparsePoint = 0x400,  // a symbolic link
};

// What the scan needs from the file system: one listing pass per folder and filter.
class FolderSource {
 public:
  virtual ~FolderSource() = default;
  // Directories that are neither hidden nor system, along with ordinary files (the
  // attribute test drops those).
  [[nodiscard]] virtual QStringList listWithDirectoryFilter(const QString& path) const = 0;
  // All files, hidden and system ones included, no directories.
  [[nodiscard]] virtual QStringList listWithFileFilter(const QString& path) const = 0;
  // nullopt: the attributes could not be read.
  [[nodiscard]] virtual std::optional<unsigned> attributes(const QString& path) const = 0;
  // Lets pending window events run (once per folder scanned); false ends the scan.
  virtual bool processPendingEvents() const { return true; }
};

struct MenuNode {
  enum class Kind { Item, SubMenu, Separator };
  Kind kind = Kind::Item;
  QString caption;
  int id = 0;                      // items and the separator
  std::vector<MenuNode> children;  // sub-menus
};

// The built Favorites menu: its entries in display order, and the path behind every
// file item (id FAVORITE_ID_BASE + n is FavoriteFiles[n - 1]).
struct FavoritesMenuTree {
  std::vector<MenuNode> entries;
  QStringList FavoriteFiles;
  int FilesStart = 3;

  // The file behind a command number, or nothing for a number that names none.
  [[nodiscard]] std::optional<QString> fileForCommand(int id) const;
};

// Folders nested deeper than this below the Favorites folder get no sub-menu (their
// favourites are not shown): nobody walks 32 sub-menus, and the scan must not
// recurse as deep as a tree on disk can go.
inline constexpr int kMaxFolderDepth = 32;

// A caption longer than 49 characters becomes its first 47 and "...". A character is
// what the user sees as one (an emoji, a letter with its accents): never cut apart.
QString shortenCaption(const QString& caption);
// A file item's caption: the name less its last four characters (code points, so a
// pair of surrogates is never split); none when shorter.
std::optional<QString> fileCaption(const QString& fileName);

// Scans favoritesPath (which ends with "/"), folders first and depth first. An empty
// path yields only the fixed entries: nothing is scanned.
FavoritesMenuTree scanFavorites(const QString& favoritesPath, const FolderSource& source);

// A name a page or a title chose, made safe as a file name: characters a file name cannot
// carry, control characters and those that reorder text (bidi controls, which can make
// "x.exe" read as "exe.x") become "_", as do leading dots (a dot-file hides); trimmed.
QString cleanFileName(const QString& name);

// A favourite's file name for a page title: characters a file name cannot carry (or
// that would hide it) become "_", an empty title becomes "Untitled", then " (copy)"
// when copy > 1, and ".url". The title is cut, between characters, so that the whole
// name fits the file system's limit of kMaxFileNameBytes encoded bytes.
inline constexpr int kMaxFileNameBytes = 255;
QString favoriteFileName(const QString& title, int copy = 1);
// An internet shortcut file for an address; line breaks in the address are dropped so
// it cannot add lines of its own.
QByteArray internetShortcutContent(const QString& url);

// Helpers of the favourite commands.
QString GetFileExtension(const QString& path, bool withDot);
QString ReplaceExtension(const QString& name, const QString& newExtension);

}  // namespace favorites
