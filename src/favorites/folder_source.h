#pragma once

#include "favorites/favorites_scan.h"

namespace favorites {

// The file system as the Favorites scan sees it. Names come in the order the
// reference file system lists them: by name, ignoring case.
// Attributes: a dot-name is hidden; a symbolic link carries the reparse-point bit
// (so it is never taken for a plain folder and never followed); a folder the user
// cannot write to is read-only; sockets, FIFOs, devices and broken links are system.
// The scan runs no events: it may run while the engine waits on a new window, where a
// window closed by a pending event would be freed under it.
class FolderListing : public FolderSource {
 public:
  [[nodiscard]] QStringList listWithDirectoryFilter(const QString& path) const override;
  [[nodiscard]] QStringList listWithFileFilter(const QString& path) const override;
  [[nodiscard]] std::optional<unsigned> attributes(const QString& path) const override;
};

}  // namespace favorites
