#include "app/command_table.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace app;

namespace {

std::string text(const QKeySequence& keys) { return keys.toString().toStdString(); }

// The keys of the README's table under "Keyboard and mouse", first column. Words that are
// no key ("or a click in the address list", "Alt + the underlined letter") are prose.
QList<QKeySequence> readmeKeys() {
  QFile file(QStringLiteral(HUSHLEAF_README));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << HUSHLEAF_README;
  QTextStream in(&file);
  QList<QKeySequence> keys;
  bool inSection = false;
  bool inTable = false;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith(QLatin1String("## "))) {
      inSection = line == QLatin1String("## Keyboard and mouse");
      continue;
    }
    if (!inSection || !line.startsWith(QLatin1Char('|'))) {
      inTable = inTable && line.isEmpty();
      continue;
    }
    const QString cell = line.section(QLatin1Char('|'), 1, 1).trimmed();
    if (!inTable) {  // the heading row, then the rule under it
      inTable = cell == QLatin1String("Keys");
      continue;
    }
    if (cell.startsWith(QLatin1String("---"))) {
      continue;
    }
    for (QString item : cell.split(QStringLiteral(", "))) {
      if (item.contains(QLatin1Char(' '))) {
        continue;
      }
      item.replace(QRegularExpression(QStringLiteral("\\+plus$")), QStringLiteral("++"));
      item.replace(QRegularExpression(QStringLiteral("\\+minus$")), QStringLiteral("+-"));
      item.replace(QRegularExpression(QStringLiteral("^Escape$")), QStringLiteral("Esc"));
      const QKeySequence key = QKeySequence::fromString(item, QKeySequence::PortableText);
      EXPECT_TRUE(key.count() == 1 && key[0].key() != Qt::Key_unknown)
          << "not a key: " << item.toStdString();
      keys.append(key);
    }
  }
  EXPECT_FALSE(keys.isEmpty()) << "no key table in " << HUSHLEAF_README;
  return keys;
}

TEST(CommandTable, TheReadmesKeyTableNamesEveryKeyAndNoOther) {
  const QList<QKeySequence> documented = readmeKeys();
  QList<QKeySequence> declared;
  for (const CommandEntry& command : commandEntries()) {
    declared += keysOf(command);
  }
  for (const QKeySequence& key : declared) {
    EXPECT_TRUE(documented.contains(key)) << "not in the README: " << text(key);
  }
  for (const QKeySequence& key : documented) {
    EXPECT_TRUE(declared.contains(key)) << "in no command: " << text(key);
  }
}

TEST(CommandTable, EachPathAndEachKeyIsDeclaredOnce) {
  QStringList paths;
  QList<QKeySequence> keys;
  for (const CommandEntry& command : commandEntries()) {
    const QString path = QString::fromLatin1(command.path);
    EXPECT_FALSE(paths.contains(path)) << command.path;
    paths.append(path);
    for (const QKeySequence& key : keysOf(command)) {
      EXPECT_FALSE(key.isEmpty() || keys.contains(key)) << command.path << " " << text(key);
      keys.append(key);
    }
  }
}

// A window key beats the focused control's own use of it: exactly the table's window keys,
// whatever keypad the key came from.
TEST(CommandTable, WindowKeysAreTheTablesKeysOfTheWindow) {
  const struct {
    QKeyCombination key;
    bool window;
  } rows[] = {
      {Qt::CTRL | Qt::Key_N, true},
      {Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_N, true},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_N, false},
      {Qt::CTRL | Qt::ALT | Qt::Key_N, false},
      {QKeyCombination(Qt::Key_N), false},
      {Qt::CTRL | Qt::Key_D, true},  // in the Favorites menu
      {Qt::CTRL | Qt::Key_F, true},
      {Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus, true},
      {QKeyCombination(Qt::Key_Escape), true},
      {Qt::ALT | Qt::Key_D, true},
      {Qt::CTRL | Qt::Key_C, false},            // the focused control's copy
      {QKeyCombination(Qt::Key_Enter), false},  // the address box's own
      {QKeyCombination(Qt::Key_Up), false},
      {Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_H, false},  // the desktop's
  };
  for (const auto& row : rows) {
    EXPECT_EQ(isWindowKey(row.key), row.window) << text(QKeySequence(row.key));
  }
}

}  // namespace
