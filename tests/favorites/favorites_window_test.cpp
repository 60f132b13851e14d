// The Favorites menu on real browser windows, over a real Favorites folder in the
// temporary HOME and pages from a local HTTP server.
#include "app/frm_browser.h"
#include "app/window_test_support.h"
#include "browser/browser_engine.h"
#include "favorites/mod_faves.h"
#include "platform/special_folder.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

#include <unistd.h>

using testsupport::waitUntil;
using windowtest::loadAndWait;

namespace {

QString folder() { return platform::GetSpecialFolderPath(platform::CSIDL_FAVORITES); }

void writeShortcut(const QString& relative, const QString& url) {
  const QString path = folder() + "/" + relative;
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
}

QStringList menuTexts(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) {
    out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  }
  return out;
}

class FavoritesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(folder()).removeRecursively();
    server.setPage(QStringLiteral("/fav"), QStringLiteral("Release 2.5 notes"),
                   QStringLiteral("<p>fav</p>"));
    writeShortcut(QStringLiteral("News/Local.url"), server.url("/fav"));
    writeShortcut(QStringLiteral("Top.URL"), server.url("/fav"));
  }
  void TearDown() override {
    for (frmBrowser* w : frmBrowser::windows()) {
      delete w;
    }
  }
  testsupport::HttpServer server;
};

TEST_F(FavoritesWindow, MenuStandsBetweenToolsAndHelpWithTheFoldersContent) {
  auto* w = new frmBrowser();
  QStringList top;
  for (QAction* a : w->menuBar()->actions()) {
    top << a->text();
  }
  EXPECT_EQ(top, (QStringList{"&File", "&Edit", "&View", "&Tools", "Favorites", "&Help"}));
  QMenu* menu = favorites::favoritesMenu(w);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menuTexts(menu),
            (QStringList{"Add to Favorites...", "Organize Favorites...", "-", "News", "Top"}));
  EXPECT_EQ(menu->actions().at(4)->data().toInt(), 1102);
  EXPECT_EQ(menuTexts(menu->actions().at(3)->menu()), QStringList{"Local"});
  EXPECT_TRUE(favorites::isSubclassed(w));
}

TEST_F(FavoritesWindow, ChoosingAFavouriteOpensItsAddressOnceOnly) {
  auto* w = new frmBrowser();
  w->show();
  QMenu* menu = favorites::favoritesMenu(w);
  QSignalSpy done(w->engine(), &browser::BrowserEngine::DocumentComplete);
  menu->actions().at(4)->trigger();  // Top.URL: capitals count as .url
  ASSERT_TRUE(waitUntil([&] { return w->engine()->LocationURL() == server.url("/fav"); }));
  ASSERT_TRUE(waitUntil([&] { return done.count() > 0; }));
  const int requests = server.requestCount("/fav");
  // Already shown: no reload.
  menu->actions().at(3)->menu()->actions().at(0)->trigger();
  testsupport::pump(300);
  EXPECT_EQ(server.requestCount("/fav"), requests);
  // A favourite deleted after the build does nothing.
  QFile::remove(folder() + "/Top.URL");
  ASSERT_TRUE(loadAndWait(w, QStringLiteral("about:blank")));
  menu->actions().at(4)->trigger();
  testsupport::pump(300);
  EXPECT_EQ(w->engine()->LocationURL(), QStringLiteral("about:blank"));
}

TEST_F(FavoritesWindow, AddWritesAShortcutAndRebuildsTheMenu) {
  auto* w = new frmBrowser();
  w->show();
  ASSERT_TRUE(loadAndWait(w, server.url("/fav")));
  QString suggested;
  QTimer::singleShot(300, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog != nullptr) {
      suggested = dialog->findChild<QLineEdit*>(QStringLiteral("Name"))->text();
      dialog->accept();
    }
  });
  ASSERT_TRUE(favorites::FavoritesWindowProc(w, favorites::WM_COMMAND, favorites::ID_ADD_FAVORITE));
  EXPECT_EQ(suggested, QStringLiteral("Release 2"));
  QFile written(folder() + "/Release 2.url");
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.readAll().contains(("URL=" + server.url("/fav")).toUtf8()));
  QMenu* menu = favorites::favoritesMenu(w);
  EXPECT_EQ(menuTexts(menu), (QStringList{"Add to Favorites...", "Organize Favorites...", "-",
                                          "News", "Release 2", "Top"}));
  // Ids start again at 1101 after a rebuild.
  EXPECT_EQ(menu->actions().at(3)->menu()->actions().at(0)->data().toInt(), 1101);
  int favoritesMenus = 0;
  for (QAction* a : w->menuBar()->actions()) {
    favoritesMenus += a->text() == QLatin1String("Favorites") ? 1 : 0;
  }
  EXPECT_EQ(favoritesMenus, 1);
  // The same name again is not overwritten.
  QTimer::singleShot(300, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialog->accept();
    }
  });
  favorites::FavoritesWindowProc(w, favorites::WM_COMMAND, favorites::ID_ADD_FAVORITE);
  EXPECT_TRUE(QFileInfo::exists(folder() + "/Release 2 (2).url"));
}

TEST_F(FavoritesWindow, ToolsAddLeavesTheMenuAsItWas) {
  auto* w = new frmBrowser();
  w->show();
  ASSERT_TRUE(loadAndWait(w, server.url("/fav")));
  QTimer::singleShot(300, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialog->accept();
    }
  });
  w->action(QStringLiteral("Tools/Add to Favorites"))->trigger();
  // The title is passed whole.
  EXPECT_TRUE(QFileInfo::exists(folder() + "/Release 2.5 notes.url"));
  EXPECT_EQ(menuTexts(favorites::favoritesMenu(w)).size(), 5);
}

TEST_F(FavoritesWindow, ClosingTakesTheDispatchOffAndEachWindowKeepsItsOwnTable) {
  auto* first = new frmBrowser();
  auto* second = new frmBrowser();
  first->show();
  second->show();
  writeShortcut(QStringLiteral("Aaa.url"), server.url("/fav"));
  favorites::RebuildFavoritesMenu(second);
  // The first window's 1102 is still Top, not the new file.
  EXPECT_TRUE(favorites::favoritesTree(first)->fileForCommand(1102)->endsWith("Top.URL"));
  EXPECT_TRUE(favorites::favoritesTree(second)->fileForCommand(1102)->endsWith("Aaa.url"));
  second->close();
  EXPECT_FALSE(favorites::FavoritesWindowProc(first, favorites::WM_COMMAND, 1099));
  EXPECT_TRUE(favorites::isSubclassed(first));
}

TEST_F(FavoritesWindow, AFolderThatCannotBeMadeLeavesOnlyTheFixedEntries) {
  const QByteArray old = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", "/dev/null/nowhere");
  auto* w = new frmBrowser();
  qputenv("XDG_DATA_HOME", old);
  if (old.isEmpty()) {
    qunsetenv("XDG_DATA_HOME");
  }
  EXPECT_EQ(menuTexts(favorites::favoritesMenu(w)),
            (QStringList{"Add to Favorites...", "Organize Favorites...", "-"}));
}

TEST_F(FavoritesWindow, ShortcutsWithoutAnAddressOrBeyondReachLeaveThePageAlone) {
  writeShortcut(QStringLiteral("Broken.url"), QString());
  {
    QFile garbage(folder() + "/Garbage.url");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray("\x00\xff[Internet\nURL\n", 18));
  }
  writeShortcut(QStringLiteral("Locked.url"), server.url("/fav"));
  QFile::setPermissions(folder() + "/Locked.url", QFileDevice::WriteOwner);
  writeShortcut(QStringLiteral("Sealed/Inside.url"), server.url("/fav"));
  QFile::setPermissions(folder() + "/Sealed", QFileDevice::WriteOwner);
  auto* w = new frmBrowser();
  w->show();
  QFile::setPermissions(folder() + "/Sealed",
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QFile::setPermissions(folder() + "/Locked.url", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  QMenu* menu = favorites::favoritesMenu(w);
  const QStringList texts = menuTexts(menu);
  // A folder that cannot be read shows as an empty sub-menu (root reads it anyway).
  ASSERT_TRUE(texts.contains("Sealed"));
  if (geteuid() != 0) {
    EXPECT_TRUE(menu->actions().at(static_cast<int>(texts.indexOf("Sealed")))->menu()->isEmpty());
  }
  ASSERT_TRUE(loadAndWait(w, server.url("/fav")));
  const int requests = server.requestCount("/fav");
  QFile::setPermissions(folder() + "/Locked.url", QFileDevice::WriteOwner);
  for (QAction* a : menu->actions()) {
    if (a->text() == "Broken" || a->text() == "Garbage" || a->text() == "Locked") {
      a->trigger();
    }
  }
  QFile::setPermissions(folder() + "/Locked.url", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  testsupport::pump(500);
  EXPECT_EQ(w->engine()->LocationURL(), server.url("/fav"));
  if (geteuid() != 0) {
    EXPECT_EQ(server.requestCount("/fav"), requests);
  }
}

}  // namespace
