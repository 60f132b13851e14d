// The Favorites scan over real folders, the names it makes, and the shortcut reader.
#include "favorites/favorites_scan.h"
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

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

void touch(const QString& path, const QByteArray& content = "[InternetShortcut]\nURL=x\n") {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
}

// The menu as text: "caption=file" (the file below root) or "[folder: its entries]".
QString shown(const std::vector<MenuNode>& nodes, const QString& root) {
  QStringList out;
  for (const MenuNode& n : nodes) {
    out << (n.isFolder ? "[" + n.caption + ": " + shown(n.children, root) + "]"
                       : n.caption + "=" + n.path.mid(root.size()));
  }
  return out.join(u' ');
}

TEST(FavoritesScan, FoldersFirstDepthFirstCaptionsCutAndWhatIsLeftOut) {
  const QTemporaryDir dir;
  const QString root = dir.path() + "/", smile = QStringLiteral("\U0001F600");
  const QString longFolder = QString(60, 'L'), longName = QString(46, 'e') + smile + "xyz.url";
  const QString wide = QString(48, 'c') + smile + ".url";
  for (const QString& name : QStringList{"A/a1.url", "b.url", "S/z.url", "S/F1/x.url", "S/F2/w.url",
                                         "zz", longFolder + "/" + longName, wide, smile + "abc",
                                         ".hidden/secret.url", "real/.dot.url"}) {
    touch(root + name);  // "zz" is too short for an item
  }
  ASSERT_TRUE(QFile::link(root + "real", root + "link"));
  ASSERT_TRUE(QFile::link(root, root + "real/loop"));  // followed, it would never end
  EXPECT_EQ(shown(scanFavorites(root, FolderListing()), root),
            QStringLiteral("[A: a1=A/a1.url] [%1...: %2...=%3] [real: .dot=real/.dot.url] "
                           "[S: [F1: x=S/F1/x.url] [F2: w=S/F2/w.url] z=S/z.url] b=b.url "
                           "%4=%5 =%6abc")
                .arg(QString(47, 'L'), QString(46, 'e') + smile, longFolder + "/" + longName,
                     QString(48, 'c') + smile, wide, smile));
  // No folder, or the root of the file system: nothing is scanned.
  for (const QString& path : {QString(), QStringLiteral("/")}) {
    EXPECT_TRUE(scanFavorites(path, FolderListing()).empty());
  }
}

TEST(FavoriteNames, FileNamesFitTheFileSystemWhateverTheScript) {
  EXPECT_EQ(favoriteFileName("..a/b\\c: <d>|\x01"), "_.a_b_c_ _d___.url");
  // Titles of one repeated character (three, two, four bytes; a letter and its accent),
  // without and with numbers of copies.
  int copy = 0;
  for (const QString& character : QStringList{"\u4E2D", "\u0416", "\U0001F600", "e\u0301"}) {
    copy = copy * 10 + 1;
    const QString title = character.repeated(200);
    const QString name = favoriteFileName(title, copy);
    const QString tail = (copy > 1 ? QStringLiteral(" (%1)").arg(copy) : QString()) + ".url";
    const QString kept = name.chopped(tail.size());
    EXPECT_TRUE(title.startsWith(kept) && kept.size() % character.size() == 0)
        << name.toStdString();
    EXPECT_LE(QFile::encodeName(name).size(), kMaxFileNameBytes);
    EXPECT_GT(QFile::encodeName(kept + character + tail).size(), kMaxFileNameBytes);
  }
  EXPECT_EQ(internetShortcutContent("http://a/\r\n[x]\r\nURL=evil"),
            QByteArray("[InternetShortcut]\r\nURL=http://a/[x]URL=evil\r\n"));
}

TEST(ShortcutReader, ReadsTheWholeAddressFromRegularFilesOnly) {
  // As other programs write them: any case and spacing, quoted, Latin-1 or UTF-16.
  const QString wide = QStringLiteral("[InternetShortcut]\r\nURL=http://w/\r\n");
  EXPECT_EQ(readProfileString("[Other]\nURL=no\n[internetshortcut]\n url = \"caf\xe9\" \nURL=2\n",
                              "InternetShortcut", "URL"),
            QStringLiteral("caf\u00e9"));
  EXPECT_EQ(readProfileString("\xff\xfe" + QByteArray(reinterpret_cast<const char*>(wide.utf16()),
                                                      wide.size() * 2),
                              "InternetShortcut", "URL"),
            "http://w/");
  const QTemporaryDir dir;
  const auto path = [&](const char* name) { return QFile::encodeName(dir.filePath(name)); };
  const QString url = "http://a/" + QString(3000, 'x');
  touch(path("plain.url"), "[InternetShortcut]\nURL=" + url.toUtf8() + "\n");
  ASSERT_TRUE(QFile::link(path("plain.url"), path("link.url")));
  // FIFOs, one with a writer holding a shortcut: read, they would block the window.
  ASSERT_EQ(mkfifo(path("fifo.url"), 0600) | mkfifo(path("idle.url"), 0600), 0);
  const int writer = ::open(path("fifo.url"), O_RDWR);
  ASSERT_GT(::write(writer, "[InternetShortcut]\nURL=http://fifo/\n", 36), 0);
  const std::pair<const char*, QString> files[] = {{"plain.url", url},  {"link.url", url},
                                                   {"fifo.url", {}},    {"idle.url", {}},
                                                   {"missing.url", {}}, {"", {}}};
  for (const auto& [name, expected] : files) {
    EXPECT_EQ(readProfileFile(path(name), "InternetShortcut", "URL"), expected) << name;
  }
  ::close(writer);
}

}  // namespace
