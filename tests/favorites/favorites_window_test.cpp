// The Favorites menu of a window over a real Favorites folder in the temporary HOME, its
// dialogs driven as a user would.
#include "browser/webengine_browser.h"
#include "favorites/mod_faves.h"
#include "platform/special_folder.h"

#include <gtest/gtest.h>
#include <QtTest>
#include <QtWidgets>

#include <deque>

// After Qt's headers: it uses QAbstractButton without including it.
#include "support/modal.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

// A real engine, but what it is told to open is recorded, not loaded.
class Engine : public browser::WebEngineBrowser {
 public:
  using WebEngineBrowser::WebEngineBrowser;
  QStringList opened;
  QString url = "http://page/";
  void Navigate(const QString& address) override { opened << (url = address); }
  [[nodiscard]] QString LocationURL() const override { return url; }
  [[nodiscard]] QString LocationName() const override { return "Release 2.5 notes"; }
};

QString path(const QString& relative) {
  return platform::GetSpecialFolderPath(platform::CSIDL_FAVORITES) + "/" + relative;
}
void shortcut(const QString& relative, const QByteArray& url = "http://page/") {
  QDir().mkpath(QFileInfo(path(relative)).absolutePath());
  QFile f(path(relative));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("[InternetShortcut]\r\nURL=" + url) > 0);
}

// Each modal window that shows is handed to the next step; one too many fails the test.
using Steps = std::deque<std::function<void(QWidget*)>>;
testsupport::ModalWatcher driver(Steps& steps) {
  return testsupport::ModalWatcher([&steps](QWidget* modal) {
    if (steps.empty()) {
      ADD_FAILURE() << modal->objectName().toStdString();
      return testsupport::ModalWatcher::dismiss(modal);
    }
    const auto step = steps.front();
    steps.pop_front();
    step(modal);
  });
}
void accept(QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); }
void press(QWidget* dialog, const char* button) {  // later, as the user's click would come
  QMetaObject::invokeMethod(dialog->findChild<QPushButton*>(button), &QPushButton::click,
                            Qt::QueuedConnection);
}

class FavoritesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(path("")).removeRecursively();
    shortcut("News/Local.url");
    shortcut("Top.URL", "http://top/");
    favorites::BuildFavoritesMenu(window, engine);
  }
  void TearDown() override { delete window.data(); }

  // What the menu shows below the fixed entries, sub-menus in brackets.
  [[nodiscard]] QStringList shown() const {
    QStringList out;
    for (QAction* a : favorites::favoritesMenu(window)->actions().mid(3)) {
      out << (a->menu() != nullptr ? "[" + a->text() + "]" : a->text());
    }
    return out;
  }
  void choose(const QString& caption) {
    for (QAction* a : favorites::favoritesMenu(window)->findChildren<QAction*>()) {
      if (a->text() == caption) {
        return a->trigger();
      }
    }
  }
  [[nodiscard]] QString fileFor(int id) const {
    return favorites::favoritesTree(window)->fileForCommand(id).value_or("");
  }

  QPointer<QMainWindow> window = new QMainWindow;
  Engine* engine = new Engine(window);
};

TEST_F(FavoritesWindow, ChoosingAFavouriteOpensItOnce) {
  shortcut("Broken.url", "");
  favorites::RebuildFavoritesMenu(window);
  EXPECT_EQ(shown(), (QStringList{"[News]", "Broken", "Top"}));
  for (const char* item : {"Top", "Top", "Local", "Broken"}) {
    choose(item);  // .URL counts; the page shown is not reloaded; no address blanks nothing
  }
  QFile::remove(path("Top.URL"));
  choose("Top");  // deleted after the build
  EXPECT_EQ(engine->opened, (QStringList{"http://top/", "http://page/"}));
  // An empty folder still shows the separator under the fixed entries.
  QDir(path("")).removeRecursively();
  favorites::RebuildFavoritesMenu(window);
  QMenu* menu = favorites::favoritesMenu(window);
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_GT(menu->actionGeometry(menu->actions().at(2)).height(), 0);
}

TEST_F(FavoritesWindow, AddSavesTheFavouriteOrSaysWhyNot) {
  QString suggested;
  Steps steps = {accept,  // Tools > Add to Favorites
                 [&](QWidget* d) {
                   suggested = d->findChild<QLineEdit*>("Name")->text();
                   accept(d);
                 },
                 accept,           // the same name again
                 [](QWidget* d) {  // the folder is gone by the time the file is saved
                   QDir(path("")).removeRecursively();
                   accept(d);
                 },
                 testsupport::ModalWatcher::dismiss};
  const auto watcher = driver(steps);
  favorites::AddToFavorites(window, engine);  // the title whole, the menu as it was
  EXPECT_EQ(shown(), (QStringList{"[News]", "Top"}));
  for (int add = 0; add < 2; ++add) {
    choose(favorites::kAddFavoriteCaption);
  }
  EXPECT_EQ(suggested, "Release 2");
  EXPECT_EQ(shown(),
            (QStringList{"[News]", "Release 2 (2)", "Release 2.5 notes", "Release 2", "Top"}));
  QFile written(path("Release 2.url"));
  EXPECT_TRUE(written.open(QIODevice::ReadOnly) && written.readAll().contains("URL=http://page/"));
  choose(favorites::kAddFavoriteCaption);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(watcher.messages().size(), 1U);
}

TEST_F(FavoritesWindow, OrganizeRenamesMovesDeletesAndTheMenuFollows) {
  shortcut("Old.url");
  shortcut(".dot.url");
  QDir().mkpath(path("Favorites"));
  favorites::RebuildFavoritesMenu(window);
  const auto select = [](QWidget* d, const QString& name) {
    auto* tree = d->findChild<QTreeView*>();
    tree->setCurrentIndex(qobject_cast<QFileSystemModel*>(tree->model())->index(path(name)));
    return tree->currentIndex().isValid() ? tree : nullptr;
  };
  Steps steps = {
      [&](QWidget* d) {
        QTreeView* tree = select(d, "Top.URL");
        d->findChild<QPushButton*>("cmdRename")->click();
        if (auto* editor = tree->findChild<QLineEdit*>()) {
          editor->setText("Renamed.url");
          QTest::keyClick(editor, Qt::Key_Return);
        }
        select(d, "Old.url");
        press(d, "cmdDelete");
      },
      [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); },
      [&](QWidget* d) { press(d, select(d, ".dot.url") != nullptr ? "cmdMove" : "cmdClose"); },
      [](QWidget* d) {  // into the sub-folder called Favorites, not the Favorites folder
        auto* folders = d->findChild<QComboBox*>();
        folders->setCurrentIndex(folders->findData("Favorites"));
        accept(d);
      },
      [](QWidget* d) { press(d, "cmdClose"); }};
  const auto watcher = driver(steps);
  choose(favorites::kOrganizeFavoritesCaption);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(shown(), (QStringList{"[Favorites]", "[News]", "Renamed"}));
  EXPECT_EQ(fileFor(1101), path("Favorites/.dot.url"));
}

TEST_F(FavoritesWindow, AWindowClosedWhileItsMenuIsBuiltOrADialogRunsIsLeftAlone) {
  QPointer<QMainWindow> other = new QMainWindow;
  favorites::BuildFavoritesMenu(other, new Engine(other));
  shortcut("Aaa.url");
  favorites::RebuildFavoritesMenu(other);  // one window's rebuild leaves the other's numbers
  EXPECT_EQ(fileFor(1102), path("Top.URL"));
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
