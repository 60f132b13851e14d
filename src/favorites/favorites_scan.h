#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace favorites {

// File attributes as the listing reports them; only a plain folder is exactly Directory.
enum FileAttribute : unsigned {
  ReadOnlyAttribute = 0x1,
  HiddenAttribute = 0x2,
  SystemAttribute = 0x4,
  DirectoryAttribute = 0x10,
  SymbolicLinkAttribute = 0x400,
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
};

// One entry below the Favorites menu's fixed ones: a favourite (its file) or a folder.
struct MenuNode {
  QString caption;
  QString path;                    // a favourite's file
  std::vector<MenuNode> children;  // a folder's entries
  bool isFolder = false;
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

// Scans the Favorites folder: at each level its plain folders, then its files, by name
// ignoring case. No folder (an empty path, or "/") gives nothing: the root is never scanned.
std::vector<MenuNode> scanFavorites(const QString& favoritesPath, const FolderSource& source);

// A favourite's file name for a page title: characters a file name cannot carry (or
// that would hide it) become "_", an empty title becomes "Untitled", then " (copy)"
// when copy > 1, and ".url". The title is cut, between characters, so that the whole
// name fits the file system's limit of kMaxFileNameBytes encoded bytes.
inline constexpr int kMaxFileNameBytes = 255;
QString favoriteFileName(const QString& title, int copy = 1);
// An internet shortcut file for an address; line breaks in the address are dropped so
// it cannot add lines of its own.
QByteArray internetShortcutContent(const QString& url);

// The text after the last dot (all of it when there is none).
QString fileExtension(const QString& path);
// The name less its extension, then "." and newExtension unless that is empty.
QString replaceExtension(const QString& name, const QString& newExtension);

}  // namespace favorites
