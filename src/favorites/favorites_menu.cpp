#include "favorites/favorites_menu.h"

#include <QFile>
#include <QTextBoundaryFinder>

namespace favorites {

namespace {

constexpr int kLongCaption = 49;
constexpr int kCutCaption = 47;

// Where each user-perceived character ends, in order.
std::vector<qsizetype> characterEnds(const QString& text) {
  std::vector<qsizetype> ends;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  while (finder.toNextBoundary() > 0) {
    ends.push_back(finder.position());
  }
  return ends;
}

QString withSlash(const QString& path) {
  return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

MenuNode item(const QString& caption, int id) {
  MenuNode node;
  node.kind = MenuNode::Kind::Item;
  node.caption = shortenCaption(caption);
  node.id = id;
  return node;
}

// Inserting by position: at or beyond the end appends.
void insertAt(std::vector<MenuNode>& menu, int position, MenuNode node) {
  const auto at =
      position < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(position), menu.size());
  menu.insert(menu.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
}

class Scanner {
 public:
  Scanner(const FolderSource& source, FavoritesMenuTree& tree) : m_source(source), m_tree(tree) {}

  // Returns the number of folders kept.
  int addFolderMenus(const QString& rawPath, std::vector<MenuNode>& parent, bool top,
                     int depth = 0) {
    const QString path = withSlash(rawPath);
    QStringList folders;
    // Deeper folders are not shown: the scan (and the menus built from it) stays
    // within a fixed stack depth however deep the tree on disk goes.
    if (depth >= kMaxFolderDepth || m_stopped) {
      return 0;
    }
    // The whole listing is read before any folder is descended into.
    for (const QString& name : m_source.listWithDirectoryFilter(path)) {
      const auto attributes = m_source.attributes(path + name);
      if (attributes && *attributes == kAttrDirectory) {
        folders.append(name);
      }
    }
    int position = 0;
    if (top) {
      m_tree.FilesStart = static_cast<int>(folders.size()) + 3;
      position = 3;
    }
    for (const QString& folder : folders) {
      ++position;
      MenuNode sub;
      sub.kind = MenuNode::Kind::SubMenu;
      sub.caption = shortenCaption(folder);
      const QString inner = path + folder + QLatin1Char('/');
      const int kept = addFolderMenus(inner, sub.children, false, depth + 1);
      addFileItems(inner, sub.children, kept);
      // Positions count from 1 after the fixed entries here, as the menu calls do: the
      // first folder goes to index 4 of the top menu (appended), below it to index 1.
      insertAt(parent, position, std::move(sub));
    }
    m_stopped = m_stopped || !m_source.processPendingEvents();
    return static_cast<int>(folders.size());
  }

  void addFileItems(const QString& path, std::vector<MenuNode>& menu, int start) {
    if (m_stopped) {
      return;
    }
    int position = start;
    for (const QString& name : m_source.listWithFileFilter(path)) {
      m_tree.FavoriteFiles.append(path + name);
      const int id = FAVORITE_ID_BASE + static_cast<int>(m_tree.FavoriteFiles.size());
      // A name too short to lose four characters gets no item, but keeps its id.
      if (const auto caption = fileCaption(name)) {
        insertAt(menu, position, item(*caption, id));
      }
      ++position;
    }
  }

 private:
  const FolderSource& m_source;
  FavoritesMenuTree& m_tree;
  bool m_stopped = false;
};

}  // namespace

QString shortenCaption(const QString& caption) {
  if (caption.size() <= kLongCaption) {
    return caption;  // no more characters than code units
  }
  const auto ends = characterEnds(caption);
  if (ends.size() <= static_cast<std::size_t>(kLongCaption)) {
    return caption;
  }
  return caption.left(ends[kCutCaption - 1]) + QStringLiteral("...");
}

std::optional<QString> fileCaption(const QString& fileName) {
  qsizetype end = fileName.size();
  for (int dropped = 0; dropped < 4; ++dropped) {
    if (end == 0) {
      return std::nullopt;
    }
    end -=
        end >= 2 && fileName.at(end - 1).isLowSurrogate() && fileName.at(end - 2).isHighSurrogate()
            ? 2
            : 1;
  }
  return fileName.left(end);
}

std::optional<QString> FavoritesMenuTree::fileForCommand(int id) const {
  const int index = id - FAVORITE_ID_BASE;
  if (index < 1 || index > FavoriteFiles.size()) {
    return std::nullopt;
  }
  return FavoriteFiles.at(index - 1);
}

FavoritesMenuTree scanFavorites(const QString& favoritesPath, const FolderSource& source) {
  FavoritesMenuTree tree;
  tree.entries.push_back(item(QString::fromLatin1(kAddFavoriteCaption), ID_ADD_FAVORITE));
  tree.entries.push_back(
      item(QString::fromLatin1(kOrganizeFavoritesCaption), ID_ORGANIZE_FAVORITES));
  MenuNode separator;
  separator.kind = MenuNode::Kind::Separator;
  separator.id = ID_FAVORITES_SEPARATOR;
  tree.entries.push_back(separator);
  // No folder: only the fixed entries, never a scan of the file-system root.
  if (favoritesPath.isEmpty() || favoritesPath == QLatin1String("/")) {
    return tree;
  }
  Scanner scanner(source, tree);
  scanner.addFolderMenus(favoritesPath, tree.entries, true);
  scanner.addFileItems(withSlash(favoritesPath), tree.entries, tree.FilesStart);
  return tree;
}

namespace {
bool reordersText(char16_t c) {
  return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
         (c >= 0x2066 && c <= 0x2069);
}
}  // namespace

QString cleanFileName(const QString& raw) {
  QString name;
  name.reserve(raw.size());
  for (const QChar c : raw) {
    const bool bad = c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
                     c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?') ||
                     c == QLatin1Char('"') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
                     c == QLatin1Char('|') || (c.unicode() >= 0x7f && c.unicode() < 0xa0) ||
                     reordersText(c.unicode());
    name += bad ? QLatin1Char('_') : c;
  }
  name = name.trimmed();
  if (name.startsWith(QLatin1Char('.'))) {
    name[0] = QLatin1Char('_');
  }
  return name;
}

QString favoriteFileName(const QString& title, int copy) {
  QString name = cleanFileName(title);
  if (name.isEmpty()) {
    name = QStringLiteral("Untitled");
  }
  const QString tail =
      (copy > 1 ? QStringLiteral(" (%1)").arg(copy) : QString()) + QStringLiteral(".url");
  const qsizetype room = kMaxFileNameBytes - QFile::encodeName(tail).size();
  if (QFile::encodeName(name).size() > room) {
    qsizetype keep = 0;
    qsizetype bytes = 0;
    for (const qsizetype end : characterEnds(name)) {
      bytes += QFile::encodeName(name.mid(keep, end - keep)).size();
      if (bytes > room) {
        break;
      }
      keep = end;
    }
    name.truncate(keep);
  }
  return name + tail;
}

QByteArray internetShortcutContent(const QString& url) {
  QString line = url;
  line.remove(QLatin1Char('\r'));
  line.remove(QLatin1Char('\n'));
  return "[InternetShortcut]\r\nURL=" + line.toUtf8() + "\r\n";
}

QString GetFileExtension(const QString& path, bool withDot) {
  const auto dot = path.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? path : path.mid(dot + 1);
  return withDot ? QStringLiteral(".") + extension : extension;
}

QString ReplaceExtension(const QString& name, const QString& newExtension) {
  const auto dot = name.lastIndexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? name : name.left(dot);
  return newExtension.isEmpty() ? base : base + QLatin1Char('.') + newExtension;
}

}  // namespace favorites
