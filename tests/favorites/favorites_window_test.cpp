// The Favorites menu of a browser window over a real Favorites folder in the temporary
// HOME, with its dialogs driven as a user would. The engine records what it is told to
// open (pages loading are the journey's part).
#include "browser/browser_engine.h"
#include "favorites/mod_faves.h"
#include "platform/special_folder.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <deque>

// After Qt's headers: it uses QAbstractButton without including it.
#include "support/modal.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

class Engine : public browser::BrowserEngine {
 public:
  using BrowserEngine::BrowserEngine;
  QStringList opened;
  QString url = QStringLiteral("http://page/");
  QString title = QStringLiteral("Release 2.5 notes");
  void Navigate(const QString& address) override { opened << (url = address); }
  bool GoBack() override { return false; }
  bool GoForward() override { return false; }
  void GoHome() override {}
  void GoSearch() override {}
  void Stop() override {}
  void Refresh() override {}
  [[nodiscard]] QString LocationURL() const override { return url; }
  [[nodiscard]] QString LocationName() const override { return title; }
  bool ExecWB(int, int, const QVariant*, QVariant*) override { return false; }
  [[nodiscard]] bool Offline() const override { return false; }
  void setOffline(bool) override {}
  [[nodiscard]] bool Silent() const override { return false; }
  void setSilent(bool) override {}
  [[nodiscard]] bool RegisterAsBrowser() const override { return false; }
  void setRegisterAsBrowser(bool) override {}
  void SetFocus() override {}
  [[nodiscard]] QWidget* widget() const override { return nullptr; }
};

QString folder() { return platform::GetSpecialFolderPath(platform::CSIDL_FAVORITES); }

void shortcut(const QString& relative, const QString& url = QStringLiteral("http://page/")) {
  QDir().mkpath(QFileInfo(folder() + "/" + relative).absolutePath());
  QFile f(folder() + "/" + relative);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
}

// Each modal window that shows goes to the next step.
using Steps = std::deque<std::function<void(QWidget*)>>;
testsupport::ModalWatcher driver(Steps& steps) {
  return testsupport::ModalWatcher([&steps](QWidget* modal) {
    if (steps.empty()) {  // unlooked for: fail, and do not leave the test waiting
      ADD_FAILURE() << modal->objectName().toStdString();
      return testsupport::ModalWatcher::dismiss(modal);
    }
    const auto step = std::move(steps.front());
    steps.pop_front();
    step(modal);
  });
}

void accept(QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); }
void press(QWidget* dialog, const char* button) {  // later, as a click from the user would
  QMetaObject::invokeMethod(dialog->findChild<QPushButton*>(button), &QPushButton::click,
                            Qt::QueuedConnection);
}

class FavoritesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(folder()).removeRecursively();
    shortcut(QStringLiteral("News/Local.url"));
    shortcut(QStringLiteral("Top.URL"), QStringLiteral("http://top/"));
    for (const char* menu : {"&File", "&Edit", "&View", "&Tools", "&Help"}) {
      window->menuBar()->addMenu(QString::fromLatin1(menu));
    }
    favorites::BuildFavoritesMenu(window, engine);
  }
  void TearDown() override { delete window.data(); }

  // The Favorites menu, or its sub-menu with this caption.
  [[nodiscard]] QMenu* menu(const QString& sub = {}) const {
    QMenu* top = favorites::favoritesMenu(window);
    for (QAction* a : top->actions()) {
      if (!sub.isEmpty() && a->text() == sub && a->menu() != nullptr) {
        return a->menu();
      }
    }
    return top;
  }
  // What a menu shows below the fixed entries, sub-menus in brackets.
  [[nodiscard]] QStringList shown(const QString& sub = {}) const {
    QStringList out;
    for (QAction* a : menu(sub)->actions().mid(sub.isEmpty() ? 3 : 0)) {
      out << (a->menu() != nullptr ? "[" + a->text() + "]" : a->text());
    }
    return out;
  }
  void choose(const QString& caption, const QString& sub = {}) {
    for (QAction* a : menu(sub)->actions()) {
      if (a->text() == caption) {
        return a->trigger();
      }
    }
  }

  QPointer<QMainWindow> window = new QMainWindow;
  Engine* engine = new Engine(window);
};

TEST_F(FavoritesWindow, MenuStandsBeforeHelpAndOpensEachFavouriteOnce) {
  shortcut(QStringLiteral("Broken.url"), QString());
  favorites::RebuildFavoritesMenu(window);
  EXPECT_EQ(window->menuBar()->actions().at(4)->menu(), menu());
  EXPECT_EQ(window->menuBar()->actions().size(), 6);
  EXPECT_EQ(shown(), (QStringList{"[News]", "Broken", "Top"}));
  choose("Top");  // .URL in capitals is a shortcut too
  choose("Top");  // the page shown already: no reload
  choose("Local", "News");
  choose("Broken");  // no address: the page stays
  QFile::remove(folder() + "/Top.URL");
  choose("Top");  // deleted after the build
  EXPECT_EQ(engine->opened, (QStringList{"http://top/", "http://page/"}));
  // An empty folder still shows the separator under the fixed entries.
  QDir(folder()).removeRecursively();
  QDir().mkpath(folder());
  favorites::RebuildFavoritesMenu(window);
  ASSERT_EQ(menu()->actions().size(), 3);
  EXPECT_GT(menu()->actionGeometry(menu()->actions().at(2)).height(), 0);
}

TEST_F(FavoritesWindow, AddSavesTheFavouriteOrSaysWhyNot) {
  QString suggested;
  Steps steps = {
      accept,  // Tools > Add to Favorites
      [&](QWidget* d) {
        suggested = d->findChild<QLineEdit*>(QStringLiteral("Name"))->text();
        accept(d);
      },
      accept,  // the same name again
      [](QWidget* d) {
        d->findChild<QLineEdit*>(QStringLiteral("Name"))->setText(QString(100, QChar(0x4E2D)));
        accept(d);
      },
      [](QWidget* d) {
        QDir(folder()).removeRecursively();
        accept(d);
      },
      testsupport::ModalWatcher::dismiss};
  const auto watcher = driver(steps);
  favorites::AddToFavorites(window, engine);  // the title whole, the menu as it was
  EXPECT_TRUE(QFileInfo::exists(folder() + "/Release 2.5 notes.url"));
  EXPECT_EQ(shown(), (QStringList{"[News]", "Top"}));
  for (int add = 0; add < 3; ++add) {
    choose(favorites::kAddFavoriteCaption);
  }
  EXPECT_EQ(suggested, QStringLiteral("Release 2"));
  QFile written(folder() + "/Release 2.url");
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.readAll().contains("URL=http://page/"));
  EXPECT_EQ(shown(), (QStringList{"[News]", "Release 2 (2)", "Release 2.5 notes", "Release 2",
                                  "Top", QString(47, QChar(0x4E2D)) + "..."}));
  EXPECT_EQ(favorites::favoritesTree(window)->fileForCommand(1101), folder() + "/News/Local.url");
  choose(favorites::kAddFavoriteCaption);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(watcher.messages().size(), 1U);
}

TEST_F(FavoritesWindow, OrganizeRenamesMovesDeletesAndTheMenuFollows) {
  shortcut(QStringLiteral("Old.url"));
  shortcut(QStringLiteral(".dot.url"));
  QDir().mkpath(folder() + "/Favorites");
  favorites::RebuildFavoritesMenu(window);
  const auto select = [](QWidget* d, const QString& name) {
    auto* tree = d->findChild<QTreeView*>();
    tree->setCurrentIndex(
        qobject_cast<QFileSystemModel*>(tree->model())->index(folder() + "/" + name));
    return tree;
  };
  Steps steps = {
      [&](QWidget* d) {
        QTreeView* tree = select(d, QStringLiteral("Top.URL"));
        d->findChild<QPushButton*>("cmdRename")->click();
        if (auto* editor = tree->findChild<QLineEdit*>()) {
          editor->setText(QStringLiteral("Renamed.url"));
          QTest::keyClick(editor, Qt::Key_Return);
        }
        select(d, QStringLiteral("Old.url"));
        press(d, "cmdDelete");
      },
      [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); },
      [&](QWidget* d) {
        const bool listed = select(d, QStringLiteral(".dot.url"))->currentIndex().isValid();
        EXPECT_TRUE(listed);
        press(d, listed ? "cmdMove" : "cmdClose");
      },
      [](QWidget* d) {  // into the sub-folder called Favorites, not the Favorites folder
        auto* folders = d->findChild<QComboBox*>();
        for (int i = 1; i < folders->count(); ++i) {
          if (folders->itemText(i) == QLatin1String("Favorites")) {
            folders->setCurrentIndex(i);
          }
        }
        accept(d);
      },
      [](QWidget* d) { press(d, "cmdClose"); }};
  const auto watcher = driver(steps);
  choose(favorites::kOrganizeFavoritesCaption);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(shown(), (QStringList{"[Favorites]", "[News]", "Renamed"}));
  EXPECT_EQ(shown("Favorites"), QStringList{".dot"});
  EXPECT_EQ(favorites::favoritesTree(window)->fileForCommand(1101),
            folder() + "/Favorites/.dot.url");
}

TEST_F(FavoritesWindow, AWindowClosedWhileItsMenuIsBuiltOrADialogRunsIsLeftAlone) {
  QPointer<QMainWindow> other = new QMainWindow;
  favorites::BuildFavoritesMenu(other, new Engine(other));
  shortcut(QStringLiteral("Aaa.url"));
  favorites::RebuildFavoritesMenu(other);  // one window's rebuild leaves the other's numbers
  EXPECT_TRUE(favorites::favoritesTree(window)->fileForCommand(1102)->endsWith("Top.URL"));
  EXPECT_TRUE(favorites::favoritesTree(other)->fileForCommand(1102)->endsWith("Aaa.url"));
  QMetaObject::invokeMethod(
      qApp, [other] { delete other.data(); }, Qt::QueuedConnection);
  favorites::RebuildFavoritesMenu(other);
  EXPECT_TRUE(other.isNull());
  Steps steps = {[this](QWidget*) { delete window.data(); }};
  const auto watcher = driver(steps);
  choose(favorites::kAddFavoriteCaption);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
