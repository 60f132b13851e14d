// The Favorites menu of a window over a real Favorites folder in the temporary HOME, its
// dialogs driven as a user would.
#include "browser/webengine_browser.h"
#include "favorites/favorites_menu.h"
#include "platform/folders.h"
#include "support/modal.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QtTest>
#include <QtWidgets>

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

// A real engine, but what it is told to open is recorded, not loaded.
class Engine : public browser::WebEngineBrowser {
 public:
  using WebEngineBrowser::WebEngineBrowser;
  QStringList opened;
  QString address = "http://page/";
  void load(const QString& url) override { opened << (address = url); }
  [[nodiscard]] QString url() const override { return address; }
  [[nodiscard]] QString title() const override { return "Release 2.5 notes"; }
};

QString path(const QString& relative) { return platform::favoritesFolder() + "/" + relative; }
void shortcut(const QString& relative, const QByteArray& url = "http://page/") {
  QDir().mkpath(QFileInfo(path(relative)).absolutePath());
  QFile f(path(relative));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("[InternetShortcut]\r\nURL=" + url) > 0);
}

// Hands the n-th modal window that shows to steps[n]; one too many fails the test.
using Steps = std::vector<std::function<void(QWidget*)>>;
testsupport::ModalWatcher driver(const Steps& steps) {
  return testsupport::ModalWatcher([&steps, n = std::size_t{0}](QWidget* modal) mutable {
    if (n == steps.size()) {
      ADD_FAILURE() << modal->objectName().toStdString();
      return testsupport::ModalWatcher::dismiss(modal);
    }
    steps[n++](modal);
  });
}
// The dialogs show without waiting: waits until n were handed over and none is left.
bool settled(const testsupport::ModalWatcher& watcher, std::size_t n) {
  return testsupport::waitUntil([&] {
    return watcher.seen() == static_cast<int>(n) && QApplication::activeModalWidget() == nullptr;
  });
}
void accept(QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); }
void press(QWidget* dialog, const char* button) {  // later, as the user's click would come
  QTimer::singleShot(0, dialog->findChild<QPushButton*>(button), &QPushButton::click);
}

class FavoritesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(path("")).removeRecursively();
    shortcut("News/Local.url");
    shortcut("Top.URL", "http://top/");
    menu->rebuild();
    window->menuBar()->addMenu(menu);
  }
  void TearDown() override { delete window.data(); }

  // The menu bar's size, then what the Favorites menu shows below its fixed entries.
  [[nodiscard]] QString shown() const {
    QStringList out = {QString::number(window->menuBar()->actions().size())};
    for (QAction* a : menu->actions().mid(3)) {
      out << (a->menu() != nullptr ? "[" + a->text() + "]" : a->text());
    }
    return out.join(u'|');
  }
  [[nodiscard]] QAction* entry(const QString& caption) const {
    for (QAction* a : menu->findChildren<QAction*>()) {
      if (a->text() == caption) {
        return a;
      }
    }
    return nullptr;
  }
  void choose(const QString& caption) {
    if (QAction* a = entry(caption)) {
      a->trigger();
    }
  }

  QPointer<QMainWindow> window = new QMainWindow;
  Engine* engine = new Engine(window);
  favorites::FavoritesMenu* menu = new favorites::FavoritesMenu(window, engine);
};

constexpr const char* kAdd = "Add to Favorites...";
constexpr const char* kOrganize = "Organize Favorites...";

TEST_F(FavoritesWindow, ChooseAddAndOrganizeAndTheMenuFollowsTheFolder) {
  for (const char* name : {"Old.url", ".dot.url", "Favorites/Aaa.url"}) {
    shortcut(name);
  }
  shortcut("Broken.url", "");
  menu->rebuild();
  const QString before = "1|[Favorites]|[News]|.dot|Broken|Old|Top";
  EXPECT_EQ(shown(), before);
  for (const char* item : {"Top", "Top", "Local", "Broken"}) {
    choose(item);  // .URL counts; the page shown is not reloaded; no address blanks nothing
  }
  EXPECT_EQ(engine->opened, (QStringList{"http://top/", "http://page/"}));

  QString suggested;
  const auto into = [&](const char* folder) {  // Add or Move: the folder chosen by path, OK
    return [&suggested, folder](QWidget* d) {
      if (const auto* name = d->findChild<QLineEdit*>("Name")) {
        suggested = name->text();
      }
      auto* folders = d->findChild<QComboBox*>();
      folders->setCurrentIndex(folders->findData(folder));
      accept(d);
    };
  };
  const auto select = [](QWidget* d, const QString& name) {
    auto* tree = d->findChild<QTreeView*>();
    tree->setCurrentIndex(qobject_cast<QFileSystemModel*>(tree->model())->index(path(name)));
    return tree->currentIndex().isValid() ? tree : nullptr;
  };
  // Tools > Add, twice Favorites > Add, Organize, then Add once the folder is gone.
  const Steps steps = {
      accept,
      into("News"),
      into("News"),
      [&](QWidget* d) {  // rename, then delete
        QTreeView* tree = select(d, "Top.URL");
        d->findChild<QPushButton*>("cmdRename")->click();
        // The editor the rename opened: the dialog's focus, inside the tree.
        auto* editor = qobject_cast<QLineEdit*>(d->focusWidget());
        if (editor != nullptr && tree->isAncestorOf(editor)) {
          editor->selectAll();
          editor->insert("Renamed.url");  // kept when the user goes on to the next entry
        } else {
          ADD_FAILURE() << "no editor for the rename";
        }
        select(d, "Old.url");
        press(d, "cmdDelete");
      },
      [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); },
      [&](QWidget* d) { press(d, select(d, ".dot.url") != nullptr ? "cmdMove" : "cmdClose"); },
      [](QWidget* d) {  // a Move cancelled moves nothing
        auto* folders = d->findChild<QComboBox*>();
        folders->setCurrentIndex(folders->findData("News"));
        testsupport::ModalWatcher::dismiss(d);
      },
      [&](QWidget* d) { press(d, select(d, ".dot.url") != nullptr ? "cmdMove" : "cmdClose"); },
      into("Favorites"),  // the sub-folder called Favorites, not the Favorites folder
      [](QWidget* d) { press(d, "cmdClose"); },
      [](QWidget* d) {  // the folder is gone by the time the file is saved
        QDir(path("")).removeRecursively();
        accept(d);
      },
      testsupport::ModalWatcher::dismiss};
  const auto watcher = driver(steps);
  favorites::addToFavorites(window, engine);  // the title whole, the menu as it was
  EXPECT_TRUE(settled(watcher, 1));
  EXPECT_EQ(shown(), before);
  choose(kAdd);
  EXPECT_TRUE(settled(watcher, 2));
  choose(kAdd);
  EXPECT_TRUE(settled(watcher, 3));
  EXPECT_EQ(suggested, "Release 2");
  EXPECT_TRUE(shown().contains("Release 2.5 notes"));  // built anew after each
  EXPECT_EQ(QDir(path("News")).entryList(QDir::Files),
            (QStringList{"Local.url", "Release 2 (2).url", "Release 2.url"}));
  QFile written(path("News/Release 2.url"));
  EXPECT_TRUE(written.open(QIODevice::ReadOnly) && written.readAll().contains("URL=http://page/"));

  choose(kOrganize);
  EXPECT_TRUE(settled(watcher, 10));
  EXPECT_EQ(shown(), "1|[Favorites]|[News]|Broken|Release 2.5 notes|Renamed");
  ASSERT_NE(entry(".dot"), nullptr);
  EXPECT_EQ(entry(".dot")->data().toString(), path("Favorites/.dot.url"));

  choose(kAdd);
  // The failure is told without holding up the command.
  EXPECT_TRUE(testsupport::waitUntil(
      [&] { return watcher.seen() == static_cast<int>(steps.size()); }, 5000));
  EXPECT_EQ(watcher.messages().size(), 2U);  // asked before deleting, told the add failed
  if (watcher.messages().size() == 2U) {
    EXPECT_TRUE(watcher.messages()[1].text.contains("could not be saved."));
    EXPECT_EQ(watcher.messages()[1].icon, QMessageBox::Warning);
  }
  // An empty folder still shows the separator under the fixed entries.
  menu->rebuild();
  EXPECT_EQ(shown(), "1");
  EXPECT_GT(menu->actionGeometry(menu->actions().value(2)).height(), 0);
}

// A linked folder is a name in Favorites, never the folder behind it: it does not open,
// nothing is made in it, and Delete takes the link alone.
TEST_F(FavoritesWindow, OrganizeNeverFollowsALinkedFolder) {
  const QString outside = QDir::homePath() + "/Documents";
  QDir(outside + "/Sub").removeRecursively();
  ASSERT_TRUE(QDir().mkpath(outside + "/Sub"));
  for (const char* name : {"/keep.txt", "/Sub/inner.txt"}) {
    QFile f(outside + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("mine") == 4);
  }
  ASSERT_TRUE(QFile::link(outside, path("Docs")));
  shortcut("Real/Sub/a.url");
  ASSERT_TRUE(QFile::link(outside, path("Real/Inner")));
  ASSERT_TRUE(QDir().mkpath(path("Empty")));

  int linkRows = -1;
  bool linkOpens = true;
  QStringList asked;
  const auto select = [](QWidget* d, const QString& name) {
    auto* tree = d->findChild<QTreeView*>();
    tree->setCurrentIndex(qobject_cast<QFileSystemModel*>(tree->model())->index(path(name)));
  };
  const auto yes = [&](QWidget* box) {
    asked << qobject_cast<QMessageBox*>(box)->text();
    qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
  };
  const auto remove = [&](const char* name) {
    return [&select, name](QWidget* d) {
      select(d, name);
      press(d, "cmdDelete");
    };
  };
  const Steps steps = {
      [&](QWidget* d) {
        auto* tree = d->findChild<QTreeView*>();
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        // The link is opened first: once the real folder's entries are in, the link's
        // would be too.
        tree->expand(model->index(path("Docs")));
        tree->expand(model->index(path("Real")));
        testsupport::waitUntil([&] { return model->rowCount(model->index(path("Real"))) == 2; });
        linkRows = model->rowCount(model->index(path("Docs")));
        linkOpens = model->hasChildren(model->index(path("Docs")));
        select(d, "Docs");  // a new folder goes beside the link, not into what it points to
        d->findChild<QPushButton*>("cmdCreateFolder")->click();
        remove("Docs")(d);
      },
      yes,
      remove("Real"),
      yes,
      remove("Empty"),
      yes,
      [](QWidget* d) { press(d, "cmdClose"); }};
  const auto watcher = driver(steps);
  choose(kOrganize);
  EXPECT_TRUE(settled(watcher, steps.size()));
  EXPECT_EQ(linkRows, 0);
  EXPECT_FALSE(linkOpens);
  EXPECT_EQ(asked,
            (QStringList{"Delete \"Docs\"?", "Delete the folder \"Real\" and everything in it?",
                         "Delete \"Empty\"?"}));
  EXPECT_EQ(QDir(path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            (QStringList{"New Folder", "News", "Top.URL"}));
  EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"keep.txt", "Sub"}));
  EXPECT_TRUE(QFileInfo::exists(outside + "/Sub/inner.txt"));
}

// The window goes while its Add dialog runs: what is checked is that the add then leaves
// it alone (no use after free, which the sanitizer build reports).
TEST_F(FavoritesWindow, AWindowClosedWhileItsDialogRunsIsLeftAlone) {
  const Steps steps = {[this](QWidget*) { delete window.data(); }};
  const auto watcher = driver(steps);
  choose(kAdd);
  EXPECT_TRUE(settled(watcher, 1));
  EXPECT_TRUE(window.isNull());
}

}  // namespace
