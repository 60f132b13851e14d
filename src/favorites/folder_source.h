#pragma once

#include "favorites/favorites_menu.h"

#include <functional>

namespace favorites {

// The file system as the Favorites scan sees it. Names come in the order the
// reference file system lists them: by name, ignoring case.
// Attributes: a dot-name is hidden; a symbolic link carries the reparse-point bit
// (so it is never taken for a plain folder and never followed); a folder the user
// cannot write to is read-only; sockets, FIFOs, devices and broken links are system.
class FolderListing : public FolderSource {
 public:
  // keepGoing is asked after pending events have run: false ends the scan (the window
  // the menu is for was closed meanwhile).
  explicit FolderListing(std::function<bool()> keepGoing = {})
      : m_keepGoing(std::move(keepGoing)) {}

  [[nodiscard]] QStringList listWithDirectoryFilter(const QString& path) const override;
  [[nodiscard]] QStringList listWithFileFilter(const QString& path) const override;
  [[nodiscard]] std::optional<unsigned> attributes(const QString& path) const override;
  bool processPendingEvents() const override;

 private:
  std::function<bool()> m_keepGoing;
};

}  // namespace favorites
