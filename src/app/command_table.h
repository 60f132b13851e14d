#pragma once

#include <QKeySequence>
#include <QList>
#include <QStringView>

#include <span>

namespace app {

enum CommandFlag : unsigned {
  Plain = 0,
  Checkable = 1,
  HiddenEntry = 2,  // in its menu, out of sight
  SeparatorBefore = 4,
  // Its entry is in a menu another part builds (Favorites): the key is still the window's.
  InOtherMenu = 8,
  // A key the focused control keeps for itself; listed so that the key table is whole.
  ControlKey = 16,
  // Grabbed for the whole desktop, not a key of the window.
  DesktopKey = 32,
};

// A menu or sub-menu of the menu bar, by path ("View/Go to").
struct MenuHeading {
  const char* path;
  const char* caption;
};

// One menu entry or key: where it sits ("Menu/Sub menu/Entry"; "Keys/..." for a key of the
// window with no entry of its own), its caption and its keys, the first shown in the menu.
struct CommandEntry {
  const char* path;
  const char* caption;
  const char* keys;  // portable text, "; " between keys
  unsigned flags = Plain;
};

// Menus in menu-bar order; a sub-menu follows its parent.
std::span<const MenuHeading> menuHeadings();
// Every entry and key, in menu order.
std::span<const CommandEntry> commandEntries();

[[nodiscard]] QList<QKeySequence> keysOf(const CommandEntry& command);
// The keys of the command at path; none for an unknown path.
[[nodiscard]] QList<QKeySequence> keysOf(QStringView path);
// A key that runs a command of the window wherever the focus is in it: the focused
// control's own use of that key gives way.
[[nodiscard]] bool isWindowKey(QKeyCombination key);

}  // namespace app
