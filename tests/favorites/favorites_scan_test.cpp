// The Favorites scan over real folders, the names it makes, and the shortcut reader.
#include "favorites/favorites_menu.h"
#include "favorites/folder_source.h"
#include "favorites/profile_string.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace favorites;

namespace {

// A real Favorites tree in a temporary folder.
class Tree {
 public:
  [[nodiscard]] QString root() const { return m_dir.path() + "/"; }
  void file(const QString& relative, const QByteArray& content = "[InternetShortcut]\nURL=x\n") {
    QDir().mkpath(QFileInfo(root() + relative).absolutePath());
    QFile f(root() + relative);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  [[nodiscard]] FavoritesMenuTree scan() const { return scanFavorites(root(), FolderListing()); }

 private:
  QTemporaryDir m_dir;
};

// "[folder]", "caption=id" or "-", in menu order.
QStringList captions(const std::vector<MenuNode>& nodes) {
  QStringList out;
  for (const MenuNode& n : nodes) {
    out << (n.kind == MenuNode::Kind::Separator ? QStringLiteral("-")
            : n.kind == MenuNode::Kind::SubMenu ? "[" + n.caption + "]"
                                                : n.caption + "=" + QString::number(n.id));
  }
  return out;
}

}  // namespace

TEST(FavoritesScan, IdsGoDepthFirstWithFoldersBeforeFiles) {
  Tree tree;
  for (const char* name : {"A/a1.url", "b.url", "S/z.url", "S/y.url", "S/F1/x.url", "S/F2/w.url"}) {
    tree.file(name);
  }
  const auto menu = tree.scan();
  EXPECT_EQ(captions(menu.entries).mid(3), (QStringList{"[A]", "[S]", "b=1106"}));
  EXPECT_EQ(captions(menu.entries[4].children), (QStringList{"[F1]", "[F2]", "y=1104", "z=1105"}));
  EXPECT_EQ(captions(menu.entries[4].children[0].children), QStringList{"x=1102"});
  EXPECT_EQ(menu.fileForCommand(1101), tree.root() + "A/a1.url");
  EXPECT_FALSE(menu.fileForCommand(1107) || menu.fileForCommand(FAVORITE_ID_BASE));
  // An empty folder, no folder and the root of the file system: the fixed entries alone.
  for (const QString& path : {Tree().root(), QString(), QStringLiteral("/")}) {
    EXPECT_EQ(captions(scanFavorites(path, FolderListing()).entries),
              captions(menu.entries).mid(0, 3));
  }
}

TEST(FavoritesScan, CaptionsAndWhatIsLeftOut) {
  Tree tree;
  tree.file("Example.url");
  tree.file("abc");  // too short for an item, still takes an id
  tree.file(QString(60, 'L') + QStringLiteral("/Caf\u00e9 \u65e5\u672c.url"));
  tree.file(".hidden/secret.url");
  tree.file("real/.dot.url");
  ASSERT_TRUE(QFile::link(tree.root() + "real", tree.root() + "link"));
  ASSERT_TRUE(QFile::link(tree.root(), tree.root() + "real/loop"));  // followed, it never ends
  const auto menu = tree.scan();
  EXPECT_EQ(captions(menu.entries).mid(3),
            (QStringList{"[" + QString(47, 'L') + "...]", "[real]", "Example=1104"}));
  EXPECT_EQ(captions(menu.entries[3].children),
            QStringList{QStringLiteral("Caf\u00e9 \u65e5\u672c=1101")});
  EXPECT_EQ(captions(menu.entries[4].children), QStringList{".dot=1102"});
  EXPECT_EQ(menu.FavoriteFiles.size(), 4);
}

TEST(FavoritesScan, AVeryDeepTreeIsCutAtAFixedDepth) {
  Tree tree;
  QString path;
  for (int level = 1; level <= 2000; ++level) {
    path += QStringLiteral("d/");
    if (level == kMaxFolderDepth || level == kMaxFolderDepth + 1) {
      tree.file(path + QStringLiteral("at%1.url").arg(level));
    }
  }
  const auto menu = tree.scan();
  const std::vector<MenuNode>* level = &menu.entries;
  for (int depth = 0; depth < kMaxFolderDepth; ++depth) {
    ASSERT_EQ(level->back().kind, MenuNode::Kind::SubMenu) << depth;
    level = &level->back().children;
  }
  EXPECT_EQ(captions(*level), QStringList{QStringLiteral("at%1=1101").arg(kMaxFolderDepth)});
}

TEST(FavoriteNames, CaptionsAreCutBetweenCharacters) {
  const QString smile = QStringLiteral("\U0001F600");
  const std::vector<std::pair<QString, QString>> cases = {
      {QString(49, 'a'), QString(49, 'a')},
      {QString(50, 'b'), QString(47, 'b') + "..."},
      {QString(48, 'c') + smile, QString(48, 'c') + smile},  // 49 characters in 50 units
      {QString(46, 'e') + smile + "xyz", QString(46, 'e') + smile + "..."},
  };
  for (const auto& [caption, shown] : cases) {
    EXPECT_EQ(shortenCaption(caption), shown) << caption.toStdString();
  }
  EXPECT_EQ(fileCaption(smile + "abc"), QString());
  EXPECT_FALSE(fileCaption("abc").has_value());
}

TEST(FavoriteNames, FileNamesFitTheFileSystemWhateverTheScript) {
  struct Case {
    QString title;
    int copy;
    QString expected;  // empty: the longest whole-character cut that fits
  };
  const std::vector<Case> cases = {
      {"a/b\\c: <d>|\x01", 1, "a_b_c_ _d___.url"},
      {"..hidden", 1, "_.hidden.url"},
      {"   ", 1, "Untitled.url"},
      {"Release 2", 3, "Release 2 (3).url"},
      {QString(200, QChar(0x4E2D)), 1, {}},  // three bytes each
      {QString(200, QChar(0x4E2D)), 12, {}},
      {QString(300, QChar(0x0416)), 2, {}},  // two bytes each
      {QStringLiteral("\U0001F600").repeated(100), 1, {}},
      {QStringLiteral("e\u0301").repeated(200), 1, {}},  // a letter and its accent
  };
  for (const auto& c : cases) {
    const QString name = favoriteFileName(c.title, c.copy);
    if (!c.expected.isEmpty()) {
      EXPECT_EQ(name, c.expected);
      continue;
    }
    const QString tail = (c.copy > 1 ? QStringLiteral(" (%1)").arg(c.copy) : QString()) + ".url";
    ASSERT_TRUE(name.endsWith(tail)) << name.toStdString();
    // The title repeats one character, which may take two code units.
    const QString character =
        c.title.left(c.title.front().isHighSurrogate() || c.title.at(1).isMark() ? 2 : 1);
    const QString kept = name.chopped(tail.size());
    EXPECT_TRUE(c.title.startsWith(kept) && kept.size() % character.size() == 0)
        << name.toStdString();
    EXPECT_LE(QFile::encodeName(name).size(), kMaxFileNameBytes);
    EXPECT_GT(QFile::encodeName(kept + character + tail).size(), kMaxFileNameBytes);
  }
  EXPECT_EQ(internetShortcutContent("http://a/\r\n[x]\r\nURL=evil"),
            QByteArray("[InternetShortcut]\r\nURL=http://a/[x]URL=evil\r\n"));
}

TEST(ShortcutReader, ReadsTheWholeAddress) {
  QString wide = QStringLiteral("[InternetShortcut]\r\nURL=http://w/\r\n");
  const QByteArray utf16 =
      "\xff\xfe" + QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
  const std::vector<std::pair<QByteArray, QString>> cases = {
      {"[Other]\nURL=no\n[internetshortcut]\n url = http://a/ \nURL=second\n", "http://a/"},
      {"[InternetShortcut]\nName=x\n", ""},
      {"[InternetShortcut]\nURL=" + QByteArray(3000, 'x') + "\n", QString(3000, 'x')},
      {"[InternetShortcut]\nURL=\"quoted\"\n", "quoted"},
      {"[InternetShortcut]\nURL=caf\xe9\n", QStringLiteral("caf\u00e9")},  // Latin-1
      {utf16, "http://w/"},
  };
  for (const auto& [content, expected] : cases) {
    EXPECT_EQ(readProfileString(content, "InternetShortcut", "URL"), expected) << content.data();
  }
}

TEST(ShortcutReader, ReadsOnlyRegularFiles) {
  const QTemporaryDir dir;
  const QString url = "http://a/" + QString(300, 'x');
  const auto path = [&](const char* name) { return dir.path() + "/" + name; };
  QFile file(path("plain.url"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[InternetShortcut]\nURL=" + url.toUtf8() + "\n");
  file.close();
  // A FIFO that does hold a shortcut: read, it would block until its writer ends.
  ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.url")).constData(), 0600), 0);
  const int writer = ::open(QFile::encodeName(path("fifo.url")).constData(), O_RDWR);
  ASSERT_GE(writer, 0);
  ASSERT_GT(::write(writer, "[InternetShortcut]\nURL=http://fifo/\n", 36), 0);
  ASSERT_TRUE(QFile::link(path("plain.url"), path("link.url")));
  ASSERT_TRUE(QFile::link(path("fifo.url"), path("fifolink.url")));
  for (const char* name : {"plain.url", "link.url"}) {
    EXPECT_EQ(ReadIniString(path(name), "InternetShortcut", "URL"), url);
  }
  for (const char* name : {"fifo.url", "fifolink.url", "missing.url", ""}) {
    EXPECT_EQ(ReadIniString(path(name), "InternetShortcut", "URL"), QString()) << name;
  }
  ::close(writer);
}
