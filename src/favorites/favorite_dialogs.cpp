#include "favorites/favorite_dialogs.h"

#include "favorites/favorites_scan.h"
#include "favorites/folder_source.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeView>
#include <QVBoxLayout>
#include <optional>
#include <utility>
#include <vector>

namespace favorites {

namespace {

// The folders the Favorites menu shows below root, relative to it, root first as "": by
// the menu's own rules (plain folders only: no dot-names, no links, none read-only) and no
// deeper than its sub-menus go.
QStringList plainFolders(const QString& root) {
  QStringList folders = {QString()};
  const FolderListing listing;
  // (relative path, depth) still to be listed; the top folder's entries are at depth 0.
  std::vector<std::pair<QString, int>> pending = {{QString(), 0}};
  while (!pending.empty()) {
    const auto [relative, depth] = pending.back();
    pending.pop_back();
    if (depth >= kMaxFolderDepth) {
      continue;
    }
    const QString path = relative.isEmpty() ? root : root + QLatin1Char('/') + relative;
    for (const QString& name : listing.listWithDirectoryFilter(path)) {
      const auto attributes = listing.attributes(path + QLatin1Char('/') + name);
      if (attributes && *attributes == DirectoryAttribute) {
        const QString inner = relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
        folders.append(inner);
        pending.emplace_back(inner, depth + 1);
      }
    }
  }
  std::sort(folders.begin() + 1, folders.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  return folders;
}

// The folders a favourite can go to, each labelled with its path from the Favorites
// folder; the path, not the label, decides (a sub-folder may be called "Favorites" too).
QComboBox* folderChoice(QWidget* parent, const QString& root) {
  auto* box = new QComboBox(parent);
  for (const QString& relative : plainFolders(root)) {
    const QString favorites = QCoreApplication::translate("favorites", "Favorites");
    box->addItem(relative.isEmpty() ? favorites : favorites + QLatin1Char('/') + relative,
                 relative);
  }
  return box;
}

QString uniquePath(const QString& folder, const QString& title) {
  QString candidate;
  for (int copy = 1;
       candidate.isEmpty() || QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink();
       ++copy) {
    candidate = folder + QLatin1Char('/') + favoriteFileName(title, copy);
  }
  return candidate;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// Shows a dialog over its owner without waiting; a dialog closed with its owner calls
// nothing, and each goes once closed.
void openDialog(QDialog* dialog, std::function<void(int)> done) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QDialog::finished, dialog, std::move(done));
  dialog->open();
}

// Asks for a folder below root; done gets its path relative to root, unless cancelled.
void chooseFolder(QWidget* parent, const QString& root, std::function<void(const QString&)> done) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName(QStringLiteral("MoveToFolderDialog"));
  dialog->setWindowTitle(QCoreApplication::translate("favorites", "Move to Folder"));
  auto* layout = new QFormLayout(dialog);
  QComboBox* folder = folderChoice(dialog, root);
  folder->setAccessibleName(QCoreApplication::translate("favorites", "Folder"));
  layout->addRow(QCoreApplication::translate("favorites", "&Folder:"), folder);
  layout->addRow(okCancel(dialog));
  openDialog(dialog, [folder, done = std::move(done)](int result) {
    if (result == QDialog::Accepted) {
      done(folder->currentData().toString());
    }
  });
}

// The Favorites folder as the organise dialog shows it: a link is an entry of its own,
// never the folder it points to, so nothing behind it is listed, made or deleted.
class FavoritesModel : public QFileSystemModel {
 public:
  using QFileSystemModel::QFileSystemModel;

  // A folder of Favorites itself; a link to one is not.
  [[nodiscard]] bool isPlainFolder(const QModelIndex& index) const {
    return isDir(index) && !fileInfo(index).isSymLink();
  }

  [[nodiscard]] bool hasChildren(const QModelIndex& parent) const override {
    return (!parent.isValid() || isPlainFolder(parent)) && QFileSystemModel::hasChildren(parent);
  }
  [[nodiscard]] bool canFetchMore(const QModelIndex& parent) const override {
    return (!parent.isValid() || isPlainFolder(parent)) && QFileSystemModel::canFetchMore(parent);
  }
  void fetchMore(const QModelIndex& parent) override {
    if (!parent.isValid() || isPlainFolder(parent)) {
      QFileSystemModel::fetchMore(parent);
    }
  }
  [[nodiscard]] int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() && !isPlainFolder(parent) ? 0 : QFileSystemModel::rowCount(parent);
  }
};

}  // namespace

void addFavorite(QWidget* owner, const QString& favoritesFolder, const QString& url,
                 const QString& title, AddFavoriteDone done) {
  if (!done) {
    done = [](DialogResult, const QString&) {};
  }
  if (favoritesFolder.isEmpty() || !QFileInfo(favoritesFolder).isDir()) {
    done(DialogResult::Failed, QString());
    return;
  }
  auto* dialog = new QDialog(owner);
  dialog->setObjectName(QStringLiteral("AddFavoriteDialog"));
  dialog->setWindowTitle(QCoreApplication::translate("favorites", "Add Favorite"));
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(new QLabel(
      QCoreApplication::translate("favorites", "Add this page to your Favorites."), dialog));
  auto* form = new QFormLayout;
  auto* name = new QLineEdit(title, dialog);
  name->setObjectName(QStringLiteral("Name"));
  name->setAccessibleName(QCoreApplication::translate("favorites", "Name"));
  QComboBox* folder = folderChoice(dialog, favoritesFolder);
  folder->setObjectName(QStringLiteral("CreateIn"));
  folder->setAccessibleName(QCoreApplication::translate("favorites", "Create in"));
  auto* address = new QLabel(url, dialog);
  address->setTextFormat(Qt::PlainText);  // the page's address, never markup
  address->setAccessibleName(QCoreApplication::translate("favorites", "Address"));
  address->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(QCoreApplication::translate("favorites", "&Name:"), name);
  form->addRow(QCoreApplication::translate("favorites", "Address:"), address);
  form->addRow(QCoreApplication::translate("favorites", "&Create in:"), folder);
  layout->addLayout(form);
  layout->addWidget(okCancel(dialog));
  dialog->setMinimumWidth(420);
  openDialog(dialog, [owner, dialog, favoritesFolder, url, name, folder,
                      done = std::move(done)](int result) {
    if (result != QDialog::Accepted) {
      done(DialogResult::Cancelled, QString());
      return;
    }
    const QString target =
        QDir::cleanPath(favoritesFolder + QLatin1Char('/') + folder->currentData().toString());
    const QString path = uniquePath(target, name->text());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(internetShortcutContent(url)) < 0 ||
        !file.commit()) {
      // Nothing waits for the answer: the box stays up on its own and goes when closed.
      auto* box = new QMessageBox(
          QMessageBox::Warning, dialog->windowTitle(),
          QCoreApplication::translate("favorites", "The favorite \"%1\" could not be saved.\n%2")
              .arg(QFileInfo(path).completeBaseName(), file.errorString()),
          QMessageBox::Ok, owner);
      box->setObjectName(QStringLiteral("MsgBox"));
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
      done(DialogResult::Failed, QString());
      return;
    }
    done(DialogResult::Accepted, path);
  });
}

void organizeFavorites(QWidget* owner, const QString& favoritesFolder,
                       std::function<void(DialogResult)> done) {
  if (!done) {
    done = [](DialogResult) {};
  }
  if (favoritesFolder.isEmpty() || !QFileInfo(favoritesFolder).isDir()) {
    done(DialogResult::Failed);
    return;
  }
  auto* dialog = new QDialog(owner);
  dialog->setObjectName(QStringLiteral("OrganizeFavoritesDialog"));
  dialog->setWindowTitle(QCoreApplication::translate("favorites", "Organize Favorites"));
  auto* layout = new QHBoxLayout(dialog);
  auto* model = new FavoritesModel(dialog);
  model->setReadOnly(false);
  // Everything the menu shows, dot-files and system files included, can be renamed,
  // moved or deleted here.
  model->setFilter(QDir::AllDirs | QDir::Files | QDir::Hidden | QDir::System |
                   QDir::NoDotAndDotDot);
  const QPersistentModelIndex root = model->setRootPath(favoritesFolder);
  auto* tree = new QTreeView(dialog);
  tree->setObjectName(QStringLiteral("FavoritesTree"));
  tree->setAccessibleName(QCoreApplication::translate("favorites", "Favorites"));
  tree->setModel(model);
  tree->setRootIndex(root);
  for (int column = 1; column < model->columnCount(); ++column) {
    tree->hideColumn(column);
  }
  tree->header()->hide();
  tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  layout->addWidget(tree, 1);
  auto* side = new QVBoxLayout;
  const auto button = [&](const QString& text, const char* name) {
    auto* b = new QPushButton(text, dialog);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    side->addWidget(b);
    return b;
  };
  QPushButton* create =
      button(QCoreApplication::translate("favorites", "Create &Folder"), "cmdCreateFolder");
  QPushButton* rename = button(QCoreApplication::translate("favorites", "&Rename"), "cmdRename");
  QPushButton* move =
      button(QCoreApplication::translate("favorites", "&Move to Folder..."), "cmdMove");
  QPushButton* remove = button(QCoreApplication::translate("favorites", "&Delete"), "cmdDelete");
  side->addStretch(1);
  QPushButton* close = button(QCoreApplication::translate("favorites", "&Close"), "cmdClose");
  layout->addLayout(side);

  const auto currentFolder = [tree, model, root]() -> QModelIndex {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return root;
    }
    return model->isPlainFolder(index) ? index : index.parent();
  };
  QObject::connect(create, &QPushButton::clicked, dialog, [tree, model, currentFolder] {
    const QModelIndex parent = currentFolder();
    QString name = QCoreApplication::translate("favorites", "New Folder");
    for (int n = 2; QFileInfo::exists(model->filePath(parent) + QLatin1Char('/') + name); ++n) {
      name = QCoreApplication::translate("favorites", "New Folder (%1)").arg(n);
    }
    const QModelIndex made = model->mkdir(parent, name);
    if (made.isValid()) {
      tree->setCurrentIndex(made);
      tree->edit(made);
    }
  });
  QObject::connect(rename, &QPushButton::clicked, dialog, [tree] {
    if (tree->currentIndex().isValid()) {
      tree->edit(tree->currentIndex());
    }
  });
  QObject::connect(remove, &QPushButton::clicked, dialog, [dialog, tree, model] {
    const QPersistentModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return;
    }
    const QString name = model->fileName(index);
    // A link goes alone (the model removes it as a file); a folder with anything in it
    // says so, and then goes whole.
    const bool whole =
        model->isPlainFolder(index) &&
        !QDir(model->filePath(index))
             .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QString question =
        whole ? QCoreApplication::translate("favorites",
                                            "Delete the folder \"%1\" and everything in it?")
                    .arg(name)
              : QCoreApplication::translate("favorites", "Delete \"%1\"?").arg(name);
    auto* box =
        new QMessageBox(QMessageBox::Question, QCoreApplication::translate("favorites", "Delete"),
                        question, QMessageBox::Yes | QMessageBox::No, dialog);
    box->setDefaultButton(whole ? QMessageBox::No : QMessageBox::Yes);
    openDialog(box, [box, model, index](int) {
      if (box->standardButton(box->clickedButton()) == QMessageBox::Yes && index.isValid()) {
        model->remove(index);
      }
    });
  });
  QObject::connect(move, &QPushButton::clicked, dialog, [dialog, tree, model, favoritesFolder] {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return;
    }
    const QString source = model->filePath(index);
    chooseFolder(dialog, favoritesFolder, [source, favoritesFolder](const QString& relative) {
      const QString target = QDir::cleanPath(favoritesFolder + QLatin1Char('/') + relative) +
                             QLatin1Char('/') + QFileInfo(source).fileName();
      // A folder cannot go into itself, and nothing is overwritten.
      if (target == source || target.startsWith(source + QLatin1Char('/')) ||
          QFileInfo::exists(target)) {
        return;
      }
      QFile::rename(source, target);
    });
  });
  QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
  dialog->resize(520, 360);
  openDialog(dialog, [done = std::move(done)](int) { done(DialogResult::Accepted); });
}

}  // namespace favorites
