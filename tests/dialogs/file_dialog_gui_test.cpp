// cFileDialog on the real Qt dialog: the test plays the user through the dialog widget.
#include "dialogs/c_file_dialog.h"
#include "platform/file_dialog.h"
#include "support/wait.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using dialogs::cFileDialog;
using dialogs::FileDialogError;

namespace {

const QChar kNul(u'\0');

const QString kOpenFilter = QString::fromLatin1(dialogs::kOpenCommandFilter);

void touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write("x");
}

// Runs `drive` on the file dialog once it is the active modal window, while `show`
// (which opens it) blocks. A dialog the driver leaves open is cancelled after a while,
// so a broken test fails instead of hanging.
struct DialogDriver {
  bool seen = false;

  void run(const std::function<void(QFileDialog*)>& drive, const std::function<void()>& show) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) {
        return;
      }
      poll.stop();
      seen = true;
      QPointer<QFileDialog> guard(dialog);
      drive(dialog);
      QTimer::singleShot(5000, [guard] {
        if (guard && guard->isVisible()) {
          ADD_FAILURE() << "dialog left open";
          guard->reject();
        }
      });
    });
    poll.start();
    show();
    EXPECT_TRUE(seen) << "no file dialog appeared";
  }
};

QLineEdit* nameEdit(QFileDialog* d) {
  return d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// Types into the name box the way a user does: the dialog active, the box focused
// (the dialog tracks the typed names in its list only while the box has the focus).
void typeAndAccept(QFileDialog* d, const QString& text, bool viaKeys = true) {
  QLineEdit* edit = nameEdit(d);
  ASSERT_NE(edit, nullptr);
  d->activateWindow();
  edit->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(testsupport::waitUntil([&] { return edit->hasFocus(); }, 3000));
  edit->selectAll();
  if (viaKeys) {
    QTest::keyClicks(edit, text);
  } else {
    edit->insert(text);  // as pasted
  }
  QTest::keyClick(edit, Qt::Key_Return);
}

class FileDialogGui : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
  }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    owner = std::make_unique<QWidget>();
    owner->resize(400, 300);
    owner->show();
    for (const char* name : {"page.htm", "a.txt", "b.txt", "c.txt"}) {
      touch(dir.filePath(QString::fromLatin1(name)));
    }
  }

  QTemporaryDir dir;
  std::unique_ptr<QWidget> owner;
  DialogDriver driver;
};

TEST_F(FileDialogGui, OpenCommandPicksATypedFileAndReturnsItsFullPath) {
  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setFilter(kOpenFilter);
  fd.setFlags(5);
  fd.setInitDir(dir.path());
  driver.run(
      [&](QFileDialog* d) {
        EXPECT_EQ(d->parentWidget(), owner.get());
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_TRUE(d->testOption(QFileDialog::ReadOnly));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        const QStringList filters = d->nameFilters();
        EXPECT_EQ(filters.size(), 4);
        EXPECT_EQ(filters.value(0), QStringLiteral("Web page (*.htm;*.html) (*.htm *.html)"));
        EXPECT_EQ(filters.value(3), QStringLiteral("All files (*.*) (*)"));
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->itemText(0), QStringLiteral("Web page (*.htm;*.html)"));
        EXPECT_EQ(combo->itemText(1), QStringLiteral("Supported image formats"));
        typeAndAccept(d, QStringLiteral("page.htm"));
      },
      [&] { fd.ShowOpen(); });
  EXPECT_EQ(fd.FileName(), QDir(dir.path()).absoluteFilePath(QStringLiteral("page.htm")));
  EXPECT_EQ(fd.FilterIndex(), 1);
  EXPECT_EQ(fd.record().lpstrFileTitle.left(9), QStringLiteral("page.htm") + kNul);
}

TEST_F(FileDialogGui, FilterIndexGoesInAndComesBackAsTheUsersChoice) {
  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setFilter(kOpenFilter);
  fd.setFilterIndex(2);
  fd.setInitDir(dir.path());
  fd.setDialogTitle(QStringLiteral("Open a page"));
  driver.run(
      [&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Open a page"));
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentIndex(), 1);
        d->selectNameFilter(d->nameFilters().value(2));
        typeAndAccept(d, QStringLiteral("a.txt"));
      },
      [&] { fd.ShowOpen(); });
  EXPECT_EQ(fd.FileName(), QDir(dir.path()).absoluteFilePath(QStringLiteral("a.txt")));
  EXPECT_EQ(fd.FilterIndex(), 3);
}

TEST_F(FileDialogGui, CancelKeepsTheNameOrRaisesTheCancelError) {
  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setInitDir(dir.path());
  fd.setFileName(QStringLiteral("earlier.htm"));
  driver.run([](QFileDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, [&] { fd.ShowOpen(); });
  EXPECT_EQ(fd.FileName(), QStringLiteral("earlier.htm"));

  fd.setCancelError(true);
  DialogDriver second;
  std::optional<FileDialogError> error;
  second.run([](QFileDialog* d) { d->reject(); },
             [&] {
               try {
                 fd.ShowOpen();
               } catch (const FileDialogError& e) {
                 error = e;
               }
             });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), 32755);
  EXPECT_EQ(error->source(), QStringLiteral("dialogs_gui_test.cFileDialog"));
  EXPECT_EQ(error->description(), QStringLiteral("User selected cancel."));
  EXPECT_EQ(fd.FileName(), QStringLiteral("earlier.htm"));
}

TEST_F(FileDialogGui, MultiSelectionReturnsFolderAndNames) {
  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setFlags(dialogs::kOfnAllowMultiSelect | dialogs::kOfnHideReadOnly);
  fd.setInitDir(dir.path());
  driver.run(
      [&](QFileDialog* d) {
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFiles);
        typeAndAccept(d, QStringLiteral("\"a.txt\" \"c.txt\""));
      },
      [&] { fd.ShowOpen(); });
  const QString folder = QDir(dir.path()).absolutePath();
  EXPECT_EQ(fd.FileName().size(), 8192);
  EXPECT_TRUE(fd.FileName().startsWith(folder + kNul + QStringLiteral("a.txt") + kNul +
                                       QStringLiteral("c.txt") + kNul + kNul))
      << qPrintable(QString(fd.FileName()).replace(kNul, u'|').left(200));
  QString sDir;
  QStringList sFiles;
  std::int32_t count = 0;
  fd.ParseMultiFileName(sDir, sFiles, count);
  EXPECT_EQ(sDir, folder);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(sFiles, (QStringList{QStringLiteral("a.txt"), QStringLiteral("c.txt")}));

  // One file in a multi-selection dialog: the full path, then the double NUL. The
  // dialog starts in the folder of the earlier selection, which FileName still begins with.
  DialogDriver second;
  second.run([](QFileDialog* d) { typeAndAccept(d, QStringLiteral("b.txt")); },
             [&] { fd.ShowOpen(); });
  fd.ParseMultiFileName(sDir, sFiles, count);
  EXPECT_EQ(sDir, folder + u'/');
  EXPECT_EQ(count, 1);
  EXPECT_EQ(sFiles, QStringList{QStringLiteral("b.txt")});
}

TEST_F(FileDialogGui, ChoiceLongerThanTheBufferFailsInsteadOfBeingCut) {
  // A real file whose full path is over 1024 characters.
  QString deep = dir.path();
  for (int i = 0; i < 5; ++i) {
    deep += u'/' + QString(240, QChar(u'a' + i));
  }
  ASSERT_TRUE(QDir().mkpath(deep));
  const QString longPath = deep + QStringLiteral("/long.htm");
  touch(longPath);
  ASSERT_GT(longPath.size(), 1024);

  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setInitDir(dir.path());
  fd.setFileName(QStringLiteral("kept.htm"));
  fd.setCancelError(true);
  bool failed = false;
  driver.run([&](QFileDialog* d) { typeAndAccept(d, longPath, false); },
             [&] {
               try {
                 fd.ShowOpen();
               } catch (const FileDialogError& e) {
                 failed = e.number() == dialogs::kErrCancel;
               }
             });
  EXPECT_TRUE(failed);
  EXPECT_EQ(fd.FileName(), QStringLiteral("kept.htm"));

  // The same at the record: a small buffer, several files.
  dialogs::OpenFileName ofn;
  ofn.lStructSize = dialogs::kOpenFileNameSize;
  ofn.hwndOwner = owner.get();
  ofn.Flags = dialogs::kOfnAllowMultiSelect | dialogs::kOfnExplorer;
  ofn.nMaxFile = 20;
  ofn.lpstrFile = QString(20, kNul);
  ofn.lpstrInitialDir = dir.path() + kNul + kNul;
  bool ok = true;
  DialogDriver third;
  third.run([](QFileDialog* d) { typeAndAccept(d, QStringLiteral("\"a.txt\" \"b.txt\"")); },
            [&] { ok = platform::GetOpenFileName(ofn); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(ofn.lpstrFile, QString(20, kNul));
}

TEST_F(FileDialogGui, SaveAddsTheDefaultExtensionAndStartsFromTheGivenName) {
  cFileDialog fd;
  fd.setHwnd(owner.get());
  fd.setDefaultExt(QStringLiteral("htm"));
  fd.setFileName(dir.filePath(QStringLiteral("page.htm")));
  driver.run(
      [&](QFileDialog* d) {
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        EXPECT_EQ(nameEdit(d)->text(), QStringLiteral("page.htm"));
        typeAndAccept(d, QStringLiteral("fresh"));
      },
      [&] { fd.ShowSave(); });
  EXPECT_EQ(fd.FileName(), QDir(dir.path()).absoluteFilePath(QStringLiteral("fresh.htm")));
  EXPECT_FALSE(QFile::exists(fd.FileName())) << "the dialog only names the file";
}

TEST(FileDialogRecord, FiltersAndSelectionBuffers) {
  const auto filters = platform::nameFiltersFromRecord(
      dialogs::ConvertFilter(QStringLiteral("Pages|*.htm; *.html|Orphan")));
  EXPECT_EQ(filters, QStringList{QStringLiteral("Pages (*.htm *.html)")});
  EXPECT_TRUE(platform::nameFiltersFromRecord(std::nullopt).isEmpty());
  EXPECT_TRUE(platform::nameFiltersFromRecord(QString(2, kNul)).isEmpty());

  EXPECT_EQ(platform::selectionBuffer({QStringLiteral("/a/b")}, false, 5),
            QStringLiteral("/a/b") + kNul);
  EXPECT_FALSE(platform::selectionBuffer({QStringLiteral("/a/b")}, false, 4));
  EXPECT_FALSE(platform::selectionBuffer({QStringLiteral("/a/b")}, true, 5));
  // Files from different folders are named from the folder they share.
  EXPECT_EQ(
      platform::selectionBuffer({QStringLiteral("/x/1/a"), QStringLiteral("/x/2/b")}, true, 13),
      QStringLiteral("/x") + kNul + QStringLiteral("1/a") + kNul + QStringLiteral("2/b") + kNul +
          kNul + kNul);
  EXPECT_EQ(platform::selectionBuffer({QStringLiteral("/a"), QStringLiteral("/b")}, true, 8),
            QStringLiteral("/") + kNul + QStringLiteral("a") + kNul + QStringLiteral("b") + kNul +
                kNul + kNul);
}

}  // namespace
