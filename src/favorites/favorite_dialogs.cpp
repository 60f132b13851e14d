#include "favorites/favorite_dialogs.h"

#include "favorites/favorites_menu.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeView>
#include <QVBoxLayout>

namespace favorites {

namespace {

// Plain folders below root (no dot-names, no links), relative to it, root first as "".
QStringList plainFolders(const QString& root) {
  QStringList folders = {QString()};
  QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info = it.fileInfo();
    const QString relative = QDir(root).relativeFilePath(path);
    if (info.isSymLink() || relative.startsWith(QLatin1Char('.')) ||
        relative.contains(QStringLiteral("/."))) {
      continue;
    }
    folders.append(relative);
  }
  std::sort(folders.begin() + 1, folders.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  return folders;
}

QString uniquePath(const QString& folder, const QString& fileName) {
  const QString base = fileName.chopped(4);  // ".url"
  QString candidate = folder + QLatin1Char('/') + fileName;
  for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
    candidate = folder + QLatin1Char('/') + base + QStringLiteral(" (%1).url").arg(n);
  }
  return candidate;
}

}  // namespace

DialogResult AddFavorite(QWidget* owner, const QString& favoritesFolder, const QString& url,
                         const QString& title, QString* createdPath) {
  if (favoritesFolder.isEmpty() || !QFileInfo(favoritesFolder).isDir()) {
    return DialogResult::Failed;
  }
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("AddFavoriteDialog"));
  dialog.setWindowTitle(QStringLiteral("Add Favorite"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Add this page to your Favorites."), &dialog));
  auto* form = new QFormLayout;
  auto* name = new QLineEdit(title, &dialog);
  name->setObjectName(QStringLiteral("Name"));
  name->setAccessibleName(QStringLiteral("Name"));
  auto* folder = new QComboBox(&dialog);
  folder->setObjectName(QStringLiteral("CreateIn"));
  folder->setAccessibleName(QStringLiteral("Create in"));
  for (const QString& relative : plainFolders(favoritesFolder)) {
    folder->addItem(relative.isEmpty() ? QStringLiteral("Favorites") : relative, relative);
  }
  auto* address = new QLabel(url, &dialog);
  address->setAccessibleName(QStringLiteral("Address"));
  address->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(QStringLiteral("&Name:"), name);
  form->addRow(QStringLiteral("Address:"), address);
  form->addRow(QStringLiteral("&Create in:"), folder);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.setMinimumWidth(420);
  if (dialog.exec() != QDialog::Accepted) {
    return DialogResult::Cancelled;
  }
  const QString target =
      QDir::cleanPath(favoritesFolder + QLatin1Char('/') + folder->currentData().toString());
  const QString path = uniquePath(target, favoriteFileName(name->text()));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(internetShortcutContent(url)) < 0 ||
      !file.commit()) {
    return DialogResult::Failed;
  }
  if (createdPath != nullptr) {
    *createdPath = path;
  }
  return DialogResult::Accepted;
}

DialogResult DoOrganizeFavDlg(QWidget* owner, const QString& favoritesFolder) {
  if (favoritesFolder.isEmpty() || !QFileInfo(favoritesFolder).isDir()) {
    return DialogResult::Failed;
  }
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("OrganizeFavoritesDialog"));
  dialog.setWindowTitle(QStringLiteral("Organize Favorites"));
  auto* layout = new QHBoxLayout(&dialog);
  auto* model = new QFileSystemModel(&dialog);
  model->setReadOnly(false);
  model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
  const QModelIndex root = model->setRootPath(favoritesFolder);
  auto* tree = new QTreeView(&dialog);
  tree->setObjectName(QStringLiteral("FavoritesTree"));
  tree->setAccessibleName(QStringLiteral("Favorites"));
  tree->setModel(model);
  tree->setRootIndex(root);
  for (int column = 1; column < model->columnCount(); ++column) {
    tree->hideColumn(column);
  }
  tree->header()->hide();
  tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  layout->addWidget(tree, 1);
  auto* side = new QVBoxLayout;
  const auto button = [&](const QString& text) {
    auto* b = new QPushButton(text, &dialog);
    b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    side->addWidget(b);
    return b;
  };
  QPushButton* create = button(QStringLiteral("Create &Folder"));
  QPushButton* rename = button(QStringLiteral("&Rename"));
  QPushButton* move = button(QStringLiteral("&Move to Folder..."));
  QPushButton* remove = button(QStringLiteral("&Delete"));
  side->addStretch(1);
  QPushButton* close = button(QStringLiteral("&Close"));
  layout->addLayout(side);

  const auto currentFolder = [&]() -> QModelIndex {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return root;
    }
    return model->isDir(index) ? index : index.parent();
  };
  QObject::connect(create, &QPushButton::clicked, &dialog, [&] {
    const QModelIndex parent = currentFolder();
    QString name = QStringLiteral("New Folder");
    for (int n = 2; QFileInfo::exists(model->filePath(parent) + QLatin1Char('/') + name); ++n) {
      name = QStringLiteral("New Folder (%1)").arg(n);
    }
    const QModelIndex made = model->mkdir(parent, name);
    if (made.isValid()) {
      tree->setCurrentIndex(made);
      tree->edit(made);
    }
  });
  QObject::connect(rename, &QPushButton::clicked, &dialog, [&] {
    if (tree->currentIndex().isValid()) {
      tree->edit(tree->currentIndex());
    }
  });
  QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return;
    }
    if (QMessageBox::question(&dialog, QStringLiteral("Delete"),
                              QStringLiteral("Delete \"%1\"?").arg(model->fileName(index))) ==
        QMessageBox::Yes) {
      model->remove(index);
    }
  });
  QObject::connect(move, &QPushButton::clicked, &dialog, [&] {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid()) {
      return;
    }
    const QString source = model->filePath(index);
    QStringList folders = plainFolders(favoritesFolder);
    QStringList labels;
    for (const QString& f : folders) {
      labels << (f.isEmpty() ? QStringLiteral("Favorites") : f);
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(&dialog, QStringLiteral("Move to Folder"),
                                                 QStringLiteral("Folder:"), labels, 0, false, &ok);
    if (!ok) {
      return;
    }
    const QString relative = folders.value(static_cast<int>(labels.indexOf(chosen)));
    const QString target = QDir::cleanPath(favoritesFolder + QLatin1Char('/') + relative) +
                           QLatin1Char('/') + QFileInfo(source).fileName();
    // A folder cannot go into itself, and nothing is overwritten.
    if (target == source || target.startsWith(source + QLatin1Char('/')) ||
        QFileInfo::exists(target)) {
      return;
    }
    QFile::rename(source, target);
  });
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  dialog.resize(520, 360);
  dialog.exec();
  return DialogResult::Accepted;
}

}  // namespace favorites
