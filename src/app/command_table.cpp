// Every menu entry and key of a browser window, declared once. The menus are built from
// this table; the address box, the page and the Favorites menu get their keys from it.
#include "app/command_table.h"

namespace app {

namespace {

constexpr MenuSpec kMenus[] = {
    {"File", "&File"},
    {"Edit", "&Edit"},
    {"View", "&View"},
    {"View/Go to", "G&o to"},
    {"View/Text Size", "Text Size"},
    {"Tools", "&Tools"},
    {"Help", "&Help"},
};

constexpr CommandSpec kCommands[] = {
    {"File/New", "&New", ""},
    {"File/Open", "&Open...", "Ctrl+O"},
    {"File/Save Page As", "&Save Page As...", "Ctrl+S", SeparatorBefore},
    {"File/Print", "Print", "Ctrl+P", SeparatorBefore},
    {"File/Page Setup", "Page Setup", ""},
    {"File/Print Preview", "Print Preview", ""},
    {"File/File Properties", "File Properties", "", SeparatorBefore},
    {"File/Work Offline", "Work Offline", "", Checkable},
    {"File/Close", "&Close", ""},
    {"Edit/Undo", "Undo", ""},
    {"Edit/Cut", "Cut", "", SeparatorBefore},
    {"Edit/Copy", "Copy", ""},
    {"Edit/Paste", "Paste", ""},
    {"Edit/Select All", "Select All", "Ctrl+A", SeparatorBefore},
    {"Edit/Find", "Find on this page", "Ctrl+F", SeparatorBefore},
    {"View/Go to/Back", "&Back", "Alt+Left"},
    {"View/Go to/Forward", "&Forward", "Alt+Right"},
    {"View/Go to/Home Page", "&Home Page", "Alt+Home", SeparatorBefore},
    {"View/Go to/Search", "Search", ""},
    {"View/Stop", "Sto&p", "Esc"},
    {"View/Refresh", "&Refresh", "F5; Ctrl+R"},
    {"View/Text Size/Smallest", "Smallest", "", Checkable},
    {"View/Text Size/Small", "Small", "", Checkable},
    {"View/Text Size/Medium", "Medium", "Ctrl+0", Checkable},
    {"View/Text Size/Large", "Large", "", Checkable},
    {"View/Text Size/Largest", "Largest", "", Checkable},
    {"View/View Source", "View Source", "Ctrl+U"},
    // Both start hidden: adding a page stays in the Favorites menu, the proxy dialog on
    // the toolbar.
    {"Tools/Add to Favorites", "Add to Favorites", "", HiddenEntry},
    {"Tools/Proxy Settings", "&Proxy Settings...", "", HiddenEntry},
    {"Tools/Hide-All Key", "&Hide-All Key...", ""},
    {"Tools/Internet Options", "Internet Options", ""},
    {"Help/Help", "Help", ""},
    {"Help/About", "About", ""},
    {"Favorites/Add to Favorites", "Add to Favorites...", "Ctrl+D", InOtherMenu},
    // Keys every browser has, with no entry of their own. Ctrl+N is File > New's key, but
    // that entry shows none.
    {"Keys/New Window", "New Window", "Ctrl+N"},
    {"Keys/Address", "Address", "Ctrl+L; Alt+D; F6"},
    {"Keys/Larger", "Larger", "Ctrl++; Ctrl+="},
    {"Keys/Smaller", "Smaller", "Ctrl+-"},
    {"Keys/Close Window", "Close Window", "Ctrl+W"},
    {"Address Box/Load", "Load", "Enter", ControlKey},
    {"Address Box/Earlier Address", "Earlier address", "Up; Down", ControlKey},
    // Tools > Hide-All Key changes it; this is the one it starts with.
    {"Desktop/Hide All", "Hide all", "Ctrl+Alt+Shift+H", DesktopKey},
};

}  // namespace

std::span<const MenuSpec> menuSpecs() { return kMenus; }

std::span<const CommandSpec> commandSpecs() { return kCommands; }

QList<QKeySequence> keysOf(const CommandSpec& command) {
  if (*command.keys == '\0') {
    return {};
  }
  return QKeySequence::listFromString(QString::fromLatin1(command.keys));
}

QList<QKeySequence> keysOf(QStringView path) {
  for (const CommandSpec& command : kCommands) {
    if (path == QLatin1String(command.path)) {
      return keysOf(command);
    }
  }
  return {};
}

bool isWindowKey(QKeyCombination key) {
  // The keypad flag says where the key is, not what it is.
  const QKeySequence pressed(
      QKeyCombination(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key()));
  for (const CommandSpec& command : kCommands) {
    if ((command.flags & (ControlKey | DesktopKey)) != 0) {
      continue;
    }
    for (const QKeySequence& keys : keysOf(command)) {
      if (keys == pressed) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace app
