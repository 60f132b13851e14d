#include "favorites/favorites_menu.h"
#include "favorites/profile_string.h"
#include "platform/directory_listing.h"

#include <algorithm>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace favorites;

namespace {

// A real Favorites tree in a temporary folder.
class Tree {
 public:
  Tree() { EXPECT_TRUE(m_dir.isValid()); }
  [[nodiscard]] QString root() const { return m_dir.path() + "/"; }
  void file(const QString& relative,
            const QByteArray& content = "[InternetShortcut]\r\nURL=x\r\n") {
    const QString path = m_dir.path() + "/" + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  void folder(const QString& relative) { QDir().mkpath(m_dir.path() + "/" + relative); }

  [[nodiscard]] FavoritesMenuTree scan() const {
    const platform::DirectoryListing listing;
    return scanFavorites(root(), listing);
  }

 private:
  QTemporaryDir m_dir;
};

QStringList captions(const std::vector<MenuNode>& nodes) {
  QStringList out;
  for (const MenuNode& n : nodes) {
    out << (n.kind == MenuNode::Kind::Separator ? QStringLiteral("-")
            : n.kind == MenuNode::Kind::SubMenu
                ? QStringLiteral("[") + n.caption + "]"
                : n.caption + QStringLiteral("=") + QString::number(n.id));
  }
  return out;
}

}  // namespace

TEST(FavoritesScan, EmptyFolderOrNoFolderGivesOnlyTheFixedEntries) {
  const Tree tree;
  const auto menu = tree.scan();
  EXPECT_EQ(captions(menu.entries),
            (QStringList{"Add to Favorites...=1097", "Organize Favorites...=1098", "-"}));
  EXPECT_EQ(menu.entries[2].id, ID_FAVORITES_SEPARATOR);
  const platform::DirectoryListing listing;
  EXPECT_EQ(scanFavorites(QString(), listing).entries.size(), 3U);
  // Never the root of the file system.
  EXPECT_EQ(scanFavorites(QStringLiteral("/"), listing).entries.size(), 3U);
}

TEST(FavoritesScan, IdsGoDepthFirstWithFoldersBeforeFiles) {
  Tree tree;
  tree.file("A/a1.url");
  tree.file("b.url");
  const auto menu = tree.scan();
  ASSERT_EQ(menu.entries.size(), 5U);
  EXPECT_EQ(captions(menu.entries).mid(3), (QStringList{"[A]", "b=1102"}));
  EXPECT_EQ(captions(menu.entries[3].children), QStringList{"a1=1101"});
  EXPECT_EQ(menu.fileForCommand(1101), tree.root() + "A/a1.url");
  EXPECT_EQ(menu.fileForCommand(1102), tree.root() + "b.url");
  EXPECT_FALSE(menu.fileForCommand(1103).has_value());
  EXPECT_FALSE(menu.fileForCommand(1100).has_value());
  EXPECT_EQ(menu.FilesStart, 4);
}

TEST(FavoritesScan, SubFoldersComeFirstInsideAFolderToo) {
  Tree tree;
  for (const char* name : {"S/z.url", "S/y.url", "S/F1/x.url", "S/F2/w.url", "S/F3/v.url"}) {
    tree.file(QString::fromLatin1(name));
  }
  const auto menu = tree.scan();
  ASSERT_EQ(menu.entries.size(), 4U);
  const auto& s = menu.entries[3].children;
  EXPECT_EQ(captions(s), (QStringList{"[F1]", "[F2]", "[F3]", "y=1104", "z=1105"}));
  EXPECT_EQ(captions(s[0].children), QStringList{"x=1101"});
}

TEST(FavoritesScan, CaptionsLoseFourCharactersAndLongOnesAreCut) {
  Tree tree;
  tree.file("Example.url");
  tree.file("Page.html");
  tree.file(QString(49, 'a') + ".url");
  tree.file(QString(50, 'b') + ".url");
  tree.file("abc");   // too short for an item, still takes an id
  tree.file("four");  // exactly four: an empty caption
  tree.folder(QString(60, 'L'));
  tree.file(QString(60, 'L') + "/inside.url");
  const auto menu = tree.scan();
  const QStringList all = captions(menu.entries);
  EXPECT_TRUE(all.contains("[" + QString(47, 'L') + "...]")) << all.join('|').toStdString();
  EXPECT_EQ(captions(menu.entries[3].children), QStringList{"inside=1101"});
  // Listing order is by name ignoring case: aaa.., abc, bbb.., Example, four, Page.
  EXPECT_EQ(all.mid(4), (QStringList{QString(49, 'a') + "=1102", QString(47, 'b') + "...=1104",
                                     "Example=1105", "=1106", "Page.=1107"}));
  EXPECT_EQ(menu.FavoriteFiles.size(), 7);
  EXPECT_TRUE(menu.FavoriteFiles.at(2).endsWith("/abc"));
}

TEST(FavoritesScan, HiddenLinkedAndReadOnlyFoldersAreLeftOutButHiddenFilesShow) {
  Tree tree;
  tree.file(".hidden/secret.url");
  tree.file("ro/x.url");
  QFile::setPermissions(tree.root() + "ro", QFile::ReadOwner | QFile::ExeOwner);
  tree.file("real/y.url");
  ASSERT_TRUE(QFile::link(tree.root() + "real", tree.root() + "link"));
  // A loop would never end if links were followed.
  ASSERT_TRUE(QFile::link(tree.root(), tree.root() + "real/loop"));
  tree.file("desktop.ini", "");
  tree.file(".dot.url");
  const auto menu = tree.scan();
  const QStringList all = captions(menu.entries);
  QFile::setPermissions(tree.root() + "ro", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_FALSE(all.contains("[.hidden]"));
  EXPECT_FALSE(all.contains("[link]"));
  EXPECT_TRUE(all.contains("[real]"));
  EXPECT_TRUE(
      all.contains("desktop=" + QString::number(FAVORITE_ID_BASE + menu.FavoriteFiles.size())));
  EXPECT_TRUE(
      all.contains(".dot=" + QString::number(FAVORITE_ID_BASE + menu.FavoriteFiles.size() - 1)));
  if (geteuid() != 0) {  // root writes everywhere, so nothing is read-only to it
    EXPECT_FALSE(all.contains("[ro]"));
  }
  for (const QString& f : menu.FavoriteFiles) {
    EXPECT_FALSE(f.contains("secret")) << f.toStdString();
  }
}

TEST(FavoritesScan, AVeryDeepTreeIsCutAtAFixedDepth) {
  Tree tree;
  QString path;
  for (int level = 1; level <= 2000; ++level) {
    path += QStringLiteral("d/");
    if (level == kMaxFolderDepth || level == kMaxFolderDepth + 1 || level == 2000) {
      tree.file(path + QStringLiteral("at") + QString::number(level) + QStringLiteral(".url"));
    }
  }
  const auto menu = tree.scan();
  int depth = 0;
  const std::vector<MenuNode>* level = &menu.entries;
  const MenuNode* deepest = nullptr;
  while (true) {
    const auto sub = std::find_if(level->begin(), level->end(), [](const MenuNode& n) {
      return n.kind == MenuNode::Kind::SubMenu;
    });
    if (sub == level->end()) {
      break;
    }
    ++depth;
    deepest = &*sub;
    level = &sub->children;
  }
  EXPECT_EQ(depth, kMaxFolderDepth);
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(captions(deepest->children),
            QStringList{"at" + QString::number(kMaxFolderDepth) + "=1101"});
  EXPECT_EQ(menu.FavoriteFiles.size(), 1);
}

TEST(FavoritesScan, NonAsciiNamesSurvive) {
  Tree tree;
  tree.file(QStringLiteral("Caf\u00e9 \u00fcber/\u65e5\u672c.url"));
  const auto menu = tree.scan();
  ASSERT_EQ(menu.entries.size(), 4U);
  EXPECT_EQ(menu.entries[3].caption, QStringLiteral("Caf\u00e9 \u00fcber"));
  EXPECT_EQ(menu.entries[3].children.at(0).caption, QStringLiteral("\u65e5\u672c"));
}

TEST(FavoriteHelpers, ExtensionsAndSuggestedTitles) {
  EXPECT_EQ(ReplaceExtension(QStringLiteral("Release 2.5 notes"), QString()),
            QStringLiteral("Release 2"));
  EXPECT_EQ(ReplaceExtension(QStringLiteral("No dot"), QString()), QStringLiteral("No dot"));
  EXPECT_EQ(ReplaceExtension(QStringLiteral("a.b"), QStringLiteral("url")),
            QStringLiteral("a.url"));
  EXPECT_EQ(GetFileExtension(QStringLiteral("/x/Page.URL"), false), QStringLiteral("URL"));
  EXPECT_EQ(GetFileExtension(QStringLiteral("/x/Page.URL"), true), QStringLiteral(".URL"));
  EXPECT_EQ(GetFileExtension(QStringLiteral("noext"), false), QStringLiteral("noext"));
  EXPECT_EQ(favoriteFileName(QStringLiteral("a/b\\c: <d>|\x01")),
            QStringLiteral("a_b_c_ _d___.url"));
  EXPECT_EQ(favoriteFileName(QStringLiteral("..hidden")), QStringLiteral("_.hidden.url"));
  EXPECT_EQ(favoriteFileName(QStringLiteral("   ")), QStringLiteral("Untitled.url"));
  EXPECT_EQ(internetShortcutContent(QStringLiteral("http://a/\r\n[x]\r\nURL=evil")),
            QByteArray("[InternetShortcut]\r\nURL=http://a/[x]URL=evil\r\n"));
}

TEST(ProfileString, ReadsTheShortcutsAddressAsABufferHoldsIt) {
  const QByteArray shortcut =
      "[Other]\r\nURL=wrong\r\n[internetshortcut]\r\n url = http://a/ \r\nURL=second\r\n";
  EXPECT_EQ(readProfileString(shortcut, "InternetShortcut", "URL", "", 255),
            QStringLiteral("http://a/"));
  EXPECT_EQ(readProfileString(shortcut, "InternetShortcut", "Missing", "", 255), QString());
  EXPECT_EQ(readProfileString("", "InternetShortcut", "URL", "dflt", 255), QStringLiteral("dflt"));
  const QByteArray longer = "[InternetShortcut]\nURL=" + QByteArray(300, 'x') + "\n";
  EXPECT_EQ(readProfileString(longer, "InternetShortcut", "URL", "", 255).size(), 254);
  EXPECT_EQ(
      readProfileString("[InternetShortcut]\nURL=\"quoted\"\n", "InternetShortcut", "URL", "", 255),
      QStringLiteral("quoted"));
  // Latin-1 bytes that are not UTF-8, and UTF-16 with its mark.
  EXPECT_EQ(
      readProfileString("[InternetShortcut]\nURL=caf\xe9\n", "InternetShortcut", "URL", "", 255),
      QStringLiteral("caf\u00e9"));
  const QString wide = QStringLiteral("[InternetShortcut]\r\nURL=http://w/\r\n");
  QByteArray utf16 = "\xff\xfe";
  utf16.append(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
  EXPECT_EQ(readProfileString(utf16, "InternetShortcut", "URL", "", 255),
            QStringLiteral("http://w/"));
  EXPECT_EQ(readProfileString(shortcut, "InternetShortcut", "URL", "", 0), QString());
}
