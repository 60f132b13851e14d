#include "favorites/folder_source.h"

#include <QDir>
#include <QFileInfo>

namespace favorites {

namespace {
constexpr QDir::SortFlags kReferenceOrder = QDir::Name | QDir::IgnoreCase;
}

QStringList FolderListing::listWithDirectoryFilter(const QString& path) const {
  const QDir dir(path);
  if (path.isEmpty() || !dir.exists()) {
    return {};
  }
  return dir.entryList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot, kReferenceOrder);
}

QStringList FolderListing::listWithFileFilter(const QString& path) const {
  const QDir dir(path);
  if (path.isEmpty() || !dir.exists()) {
    return {};
  }
  return dir.entryList(QDir::Files | QDir::Hidden | QDir::System, kReferenceOrder);
}

std::optional<unsigned> FolderListing::attributes(const QString& path) const {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) {
    return std::nullopt;
  }
  unsigned attributes = 0;
  if (info.isSymLink()) {
    attributes |= SymbolicLinkAttribute;
  }
  if (info.isDir()) {
    attributes |= DirectoryAttribute;
  } else if (!info.isFile()) {
    attributes |= SystemAttribute;
  }
  if (info.fileName().startsWith(QLatin1Char('.'))) {
    attributes |= HiddenAttribute;
  }
  if (!info.isWritable()) {
    attributes |= ReadOnlyAttribute;
  }
  return attributes;
}

}  // namespace favorites
