#include "platform/directory_listing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
constexpr QDir::SortFlags kReferenceOrder = QDir::Name | QDir::IgnoreCase;
}

QStringList DirectoryListing::listWithDirectoryFilter(const QString& path) const {
  const QDir dir(path);
  if (path.isEmpty() || !dir.exists()) {
    return {};
  }
  QStringList names = {QStringLiteral("."), QStringLiteral("..")};
  names += dir.entryList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot, kReferenceOrder);
  return names;
}

QStringList DirectoryListing::listWithFileFilter(const QString& path) const {
  const QDir dir(path);
  if (path.isEmpty() || !dir.exists()) {
    return {};
  }
  return dir.entryList(QDir::Files | QDir::Hidden | QDir::System, kReferenceOrder);
}

std::optional<unsigned> DirectoryListing::attributes(const QString& path) const {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) {
    return std::nullopt;
  }
  unsigned attributes = 0;
  if (info.isSymLink()) {
    attributes |= favorites::kAttrReparsePoint;
  }
  if (info.isDir()) {
    attributes |= favorites::kAttrDirectory;
  } else if (!info.isFile()) {
    attributes |= favorites::kAttrSystem;
  }
  if (info.fileName().startsWith(QLatin1Char('.'))) {
    attributes |= favorites::kAttrHidden;
  }
  if (!info.isWritable()) {
    attributes |= favorites::kAttrReadOnly;
  }
  return attributes;
}

void DirectoryListing::processPendingEvents() const {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::processEvents();
  }
}

}  // namespace platform
