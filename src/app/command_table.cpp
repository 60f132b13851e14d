// Every menu entry and key of a browser window, declared once. The menus are built from
// this table; the address box, the page and the Favorites menu get their keys from it.
#include "app/command_table.h"

#include <QCoreApplication>

namespace app {

namespace {

constexpr MenuHeading kMenus[] = {
    {"File", QT_TRANSLATE_NOOP("Commands", "&File")},
    {"Edit", QT_TRANSLATE_NOOP("Commands", "&Edit")},
    {"View", QT_TRANSLATE_NOOP("Commands", "&View")},
    {"View/Go to", QT_TRANSLATE_NOOP("Commands", "G&o to")},
    {"View/Text Size", QT_TRANSLATE_NOOP("Commands", "Text Size")},
    {"Tools", QT_TRANSLATE_NOOP("Commands", "&Tools")},
    {"Help", QT_TRANSLATE_NOOP("Commands", "&Help")},
};

constexpr CommandEntry kCommands[] = {
    {"File/New", QT_TRANSLATE_NOOP("Commands", "&New"), ""},
    {"File/Open", QT_TRANSLATE_NOOP("Commands", "&Open..."), "Ctrl+O"},
    {"File/Save Page As", QT_TRANSLATE_NOOP("Commands", "&Save Page As..."), "Ctrl+S",
     SeparatorBefore},
    {"File/Print", QT_TRANSLATE_NOOP("Commands", "Print"), "Ctrl+P", SeparatorBefore},
    {"File/Page Setup", QT_TRANSLATE_NOOP("Commands", "Page Setup"), ""},
    {"File/Print Preview", QT_TRANSLATE_NOOP("Commands", "Print Preview"), ""},
    {"File/File Properties", QT_TRANSLATE_NOOP("Commands", "File Properties"), "", SeparatorBefore},
    {"File/Work Offline", QT_TRANSLATE_NOOP("Commands", "Work Offline"), "", Checkable},
    {"File/Close", QT_TRANSLATE_NOOP("Commands", "&Close"), ""},
    {"Edit/Undo", QT_TRANSLATE_NOOP("Commands", "Undo"), ""},
    {"Edit/Cut", QT_TRANSLATE_NOOP("Commands", "Cut"), "", SeparatorBefore},
    {"Edit/Copy", QT_TRANSLATE_NOOP("Commands", "Copy"), ""},
    {"Edit/Paste", QT_TRANSLATE_NOOP("Commands", "Paste"), ""},
    {"Edit/Select All", QT_TRANSLATE_NOOP("Commands", "Select All"), "Ctrl+A", SeparatorBefore},
    {"Edit/Find", QT_TRANSLATE_NOOP("Commands", "Find on this page"), "Ctrl+F", SeparatorBefore},
    {"View/Go to/Back", QT_TRANSLATE_NOOP("Commands", "&Back"), "Alt+Left"},
    {"View/Go to/Forward", QT_TRANSLATE_NOOP("Commands", "&Forward"), "Alt+Right"},
    {"View/Go to/Home Page", QT_TRANSLATE_NOOP("Commands", "&Home Page"), "Alt+Home",
     SeparatorBefore},
    {"View/Go to/Search", QT_TRANSLATE_NOOP("Commands", "Search"), ""},
    {"View/Stop", QT_TRANSLATE_NOOP("Commands", "Sto&p"), "Esc"},
    {"View/Refresh", QT_TRANSLATE_NOOP("Commands", "&Refresh"), "F5; Ctrl+R"},
    {"View/Text Size/Smallest", QT_TRANSLATE_NOOP("Commands", "Smallest"), "", Checkable},
    {"View/Text Size/Small", QT_TRANSLATE_NOOP("Commands", "Small"), "", Checkable},
    {"View/Text Size/Medium", QT_TRANSLATE_NOOP("Commands", "Medium"), "Ctrl+0", Checkable},
    {"View/Text Size/Large", QT_TRANSLATE_NOOP("Commands", "Large"), "", Checkable},
    {"View/Text Size/Largest", QT_TRANSLATE_NOOP("Commands", "Largest"), "", Checkable},
    {"View/View Source", QT_TRANSLATE_NOOP("Commands", "View Source"), "Ctrl+U"},
    // Both start hidden: adding a page stays in the Favorites menu, the proxy dialog on
    // the toolbar.
    {"Tools/Add to Favorites", QT_TRANSLATE_NOOP("Commands", "Add to Favorites"), "", HiddenEntry},
    {"Tools/Proxy Settings", QT_TRANSLATE_NOOP("Commands", "&Proxy Settings..."), "", HiddenEntry},
    {"Tools/Hide-All Key", QT_TRANSLATE_NOOP("Commands", "&Hide-All Key..."), ""},
    {"Tools/Internet Options", QT_TRANSLATE_NOOP("Commands", "Internet Options"), ""},
    {"Help/Help", QT_TRANSLATE_NOOP("Commands", "Help"), ""},
    {"Help/About", QT_TRANSLATE_NOOP("Commands", "About"), ""},
    {"Favorites/Add to Favorites", QT_TRANSLATE_NOOP("Commands", "Add to Favorites..."), "Ctrl+D",
     InOtherMenu},
    // Keys every browser has, with no entry of their own. Ctrl+N is File > New's key, but
    // that entry shows none.
    {"Keys/New Window", QT_TRANSLATE_NOOP("Commands", "New Window"), "Ctrl+N"},
    {"Keys/Address", QT_TRANSLATE_NOOP("Commands", "Address"), "Ctrl+L; Alt+D; F6"},
    {"Keys/Larger", QT_TRANSLATE_NOOP("Commands", "Larger"), "Ctrl++; Ctrl+="},
    {"Keys/Smaller", QT_TRANSLATE_NOOP("Commands", "Smaller"), "Ctrl+-"},
    {"Keys/Close Window", QT_TRANSLATE_NOOP("Commands", "Close Window"), "Ctrl+W"},
    {"Address Box/Load", QT_TRANSLATE_NOOP("Commands", "Load"), "Enter", ControlKey},
    {"Address Box/Earlier Address", QT_TRANSLATE_NOOP("Commands", "Earlier address"), "Up; Down",
     ControlKey},
    // Tools > Hide-All Key changes it; this is the one it starts with.
    {"Desktop/Hide All", QT_TRANSLATE_NOOP("Commands", "Hide all"), "Ctrl+Alt+Shift+H", DesktopKey},
};

}  // namespace

std::span<const MenuHeading> menuHeadings() { return kMenus; }

std::span<const CommandEntry> commandEntries() { return kCommands; }

QList<QKeySequence> keysOf(const CommandEntry& command) {
  if (*command.keys == '\0') {
    return {};
  }
  return QKeySequence::listFromString(QString::fromLatin1(command.keys));
}

QList<QKeySequence> keysOf(QStringView path) {
  for (const CommandEntry& command : kCommands) {
    if (path == QLatin1String(command.path)) {
      return keysOf(command);
    }
  }
  return {};
}

bool isWindowKey(QKeyCombination key) {
  // Read once: the question comes with every key the focused control sees.
  static const QList<QKeySequence> windowKeys = [] {
    QList<QKeySequence> keys;
    for (const CommandEntry& command : kCommands) {
      if ((command.flags & (ControlKey | DesktopKey)) == 0) {
        keys += keysOf(command);
      }
    }
    return keys;
  }();
  // The keypad flag says where the key is, not what it is.
  return windowKeys.contains(
      QKeySequence(QKeyCombination(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key())));
}

}  // namespace app
