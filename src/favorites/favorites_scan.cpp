#include "favorites/favorites_scan.h"

#include "browser/file_name.h"

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

// Folders first (depth first), then files; a name too short to lose its four-letter
// extension gets no entry.
void addFolder(const QString& folder, std::vector<MenuNode>& entries, const FolderSource& source,
               int depth) {
  const QString path = withSlash(folder);
  // Folders deeper than that get no sub-menu: the scan (and the menus built from it)
  // stays within a fixed stack depth however deep the tree on disk goes.
  if (depth < kMaxFolderDepth) {
    QStringList folders;
    // The whole listing is read before any folder is descended into.
    for (const QString& name : source.listWithDirectoryFilter(path)) {
      const auto attributes = source.attributes(path + name);
      if (attributes && *attributes == DirectoryAttribute) {
        folders.append(name);
      }
    }
    for (const QString& name : folders) {
      MenuNode sub;
      sub.isFolder = true;
      sub.caption = shortenCaption(name);
      addFolder(path + name, sub.children, source, depth + 1);
      entries.push_back(std::move(sub));
    }
  }
  for (const QString& name : source.listWithFileFilter(path)) {
    if (const auto caption = fileCaption(name)) {
      MenuNode item;
      item.caption = shortenCaption(*caption);
      item.path = path + name;
      entries.push_back(std::move(item));
    }
  }
}

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

std::vector<MenuNode> scanFavorites(const QString& favoritesPath, const FolderSource& source) {
  std::vector<MenuNode> entries;
  if (favoritesPath.isEmpty() || favoritesPath == QLatin1String("/")) {
    return entries;
  }
  addFolder(favoritesPath, entries, source, 0);
  return entries;
}

QString favoriteFileName(const QString& title, int copy) {
  QString name = browser::cleanFileName(title);
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

QString fileExtension(const QString& path) {
  const auto dot = path.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? path : path.mid(dot + 1);
}

QString replaceExtension(const QString& name, const QString& newExtension) {
  const auto dot = name.lastIndexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? name : name.left(dot);
  return newExtension.isEmpty() ? base : base + QLatin1Char('.') + newExtension;
}

}  // namespace favorites
