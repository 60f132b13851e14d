// The file dialog and the about box as the user meets them: real windows under a window
// manager, Qt's own file dialog over a real folder, the about box's link driving a real
// engine. File > Open's loading of the choice is in the browser window's suite.
#include "browser/webengine_browser.h"
#include "dialogs/about_dialog.h"
#include "dialogs/about_layout.h"
#include "dialogs/open_save_dialog.h"
#include "support/modal.h"
#include "support/wait.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QtWidgets>

#include <memory>

namespace {

using dialogs::OpenSaveDialog;

class DialogsGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  }
  // The file dialog over the main window; null when none shows.
  QFileDialog* fileDialog() { return main.findChild<QFileDialog*>(); }

  QMainWindow main;
};

// The outcome of one show: accepted() count and the failed() numbers.
struct Outcome {
  explicit Outcome(OpenSaveDialog& fd) {
    QObject::connect(&fd, &OpenSaveDialog::accepted, [this] { ++accepted; });
    QObject::connect(&fd, &OpenSaveDialog::failed,
                     [this](const dialogs::FileDialogError& e) { errors << e.number; });
  }
  int accepted = 0;
  QList<int> errors;
};

TEST_F(DialogsGui, FileDialogShowsTheSettingsAndHandsBackTheChoice) {
  QTemporaryDir dir;
  for (const char* name : {"page.htm", "a.txt", "c d.txt"}) {
    QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
  }
  const struct Row {
    const char* what;
    bool save;
    OpenSaveDialog::Options options;
    const char* fileName;  // set before the show
    const char* defaultExt;
    const char* title;
    int pick;           // the filter the user picks (0-based), -1: leaves it
    const char* typed;  // into the name box; null: as offered
    bool cancels;
    bool cancelError;
    QFileDialog::FileMode mode;
    const char* result;  // fileName() afterwards: "%1" the folder, "|" a NUL
    int filterIndex;
    int error;  // the number failed() reports, 0: none
  } rows[] = {
      {"File > Open", false, OpenSaveDialog::ReadOnly, "", "", "", 2, "page.htm", false, false,
       QFileDialog::ExistingFile, "%1/page.htm", 3, 0},
      {"save, extension, title",
       true,
       {},
       "report",
       ".txt",
       "Export",
       -1,
       nullptr,
       false,
       false,
       QFileDialog::AnyFile,
       "%1/report.txt",
       2,
       0},
      {"save never selects several", true,
       OpenSaveDialog::OverwritePrompt | OpenSaveDialog::AllowMultiSelect, "new.htm", "", "", -1,
       nullptr, false, false, QFileDialog::AnyFile, "%1/new.htm", 2, 0},
      {"multi-selection", false, OpenSaveDialog::AllowMultiSelect, "", "", "", -1,
       "\"a.txt\" \"c d.txt\"", false, false, QFileDialog::ExistingFiles, "%1|a.txt|c d.txt||", 2,
       0},
      {"multi-selection of one", false, OpenSaveDialog::AllowMultiSelect, "a.txt", "", "", 0,
       nullptr, false, false, QFileDialog::ExistingFiles, "%1/a.txt||", 1, 0},
      {"cancel error",
       false,
       {},
       "page.htm",
       "",
       "",
       0,
       nullptr,
       true,
       true,
       QFileDialog::ExistingFile,
       "page.htm",
       2,
       dialogs::kErrCancel},
      {"plain cancel",
       true,
       {},
       "page.htm",
       "",
       "",
       0,
       nullptr,
       true,
       false,
       QFileDialog::AnyFile,
       "page.htm",
       2,
       0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    OpenSaveDialog fd;
    Outcome outcome(fd);
    fd.setOwner(&main);
    fd.setFilter(dialogs::kOpenCommandFilter);
    fd.setFilterIndex(2);
    fd.setInitDir(dir.path());
    fd.setOptions(row.options);
    fd.setFileName(row.fileName);
    fd.setDefaultExt(row.defaultExt);
    fd.setDialogTitle(row.title);
    fd.setCancelError(row.cancelError);
    row.save ? fd.showSave() : fd.showOpen();

    QFileDialog* d = fileDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowModality(), Qt::WindowModal);
    EXPECT_EQ(d->acceptMode(), row.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    EXPECT_EQ(d->fileMode(), row.mode);
    EXPECT_EQ(d->testOption(QFileDialog::ReadOnly), row.options.testFlag(OpenSaveDialog::ReadOnly));
    EXPECT_EQ(d->testOption(QFileDialog::DontConfirmOverwrite),
              !row.options.testFlag(OpenSaveDialog::OverwritePrompt));
    ASSERT_EQ(d->directory(), QDir(dir.path()));  // or the names typed below are not there
    EXPECT_EQ(d->nameFilters().size(), 4);
    EXPECT_EQ(d->selectedNameFilter().toStdString(), "Supported image formats");
    auto* nameBox = d->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(nameBox, nullptr);
    EXPECT_EQ(nameBox->text(), row.fileName);
    if (*row.title != 0) {
      EXPECT_EQ(d->windowTitle(), row.title);
    }

    if (row.pick >= 0) {
      d->selectNameFilter(d->nameFilters().value(row.pick));
    }
    if (row.typed != nullptr) {
      nameBox->setText(QString::fromUtf8(row.typed));
    }
    // Open, Save or Cancel, as the dialog's buttons do.
    row.cancels ? d->reject() : static_cast<QDialog*>(d)->accept();
    EXPECT_EVENTUALLY_EQ(fileDialog() == nullptr, true);
    EXPECT_EQ(fd.fileName(), QString(row.result).replace("%1", dir.path()).replace(u'|', u'\0'));
    EXPECT_EQ(fd.filterIndex(), row.filterIndex);
    EXPECT_EQ(outcome.accepted, row.cancels ? 0 : 1);
    EXPECT_EQ(outcome.errors, row.error != 0 ? QList<int>{row.error} : QList<int>{});
  }
}

TEST_F(DialogsGui, FileDialogRefusesWhatItCannotTakeAndLeavesWithItsObject) {
  auto fd = std::make_unique<OpenSaveDialog>();
  Outcome outcome(*fd);
  fd->setOwner(&main);
  // A name too long is kept but refused, and no dialog shows with it.
  fd->setFileName(QString(dialogs::kMaxFileName, u'n'));
  fd->setFileName(QString(dialogs::kMaxFileName + 1, u'n'));
  EXPECT_EQ(fd->fileName().size(), dialogs::kMaxFileName + 1);
  fd->showSave();
  EXPECT_EQ(fileDialog(), nullptr);
  // A name set by hand is no multi-selection.
  EXPECT_FALSE(fd->parseMultiFileName());
  EXPECT_EQ(outcome.errors, QList<int>(3, dialogs::kErrInvalidArgument));

  // A filter too long is kept as text; the dialog shows the filters it had.
  outcome.errors.clear();
  fd->setFileName({});
  fd->setFilter("a|*.a");
  fd->setFilter(QString(dialogs::kMaxFilter + 1, u'b'));
  EXPECT_EQ(fd->filter().size(), dialogs::kMaxFilter + 1);
  EXPECT_EQ(outcome.errors, QList<int>{dialogs::kErrOverflow});
  fd->setCancelError(true);
  fd->showOpen();
  fd->showOpen();  // raises the one already open
  ASSERT_EQ(main.findChildren<QFileDialog*>().size(), 1);
  const QPointer<QFileDialog> open = fileDialog();
  EXPECT_EQ(open->nameFilters(), QStringList{"a (*.a)"});

  // Cancelled, the caller asks again at once, now to save into a deep folder.
  QTemporaryDir home;
  const QString deep =
      home.filePath(QString(200, u'd') + "/" + QString(200, u'e') + "/" + QString(200, u'f') + "/" +
                    QString(200, u'g') + "/" + QString(200, u'h'));
  ASSERT_TRUE(QDir().mkpath(deep));
  fd->setInitDir(deep);
  QObject::connect(
      fd.get(), &OpenSaveDialog::failed, fd.get(), [&] { fd->showSave(); },
      Qt::SingleShotConnection);
  open->reject();
  EXPECT_EQ(outcome.errors, (QList<int>{dialogs::kErrOverflow, dialogs::kErrCancel}));
  ASSERT_EVENTUALLY_EQ(open.isNull(), true);
  QFileDialog* save = fileDialog();
  ASSERT_NE(save, nullptr) << "not asked again";
  ASSERT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  // A choice longer than a file name can be is refused like a cancel, never cut off.
  outcome.errors.clear();
  save->findChild<QLineEdit*>("fileNameEdit")->setText(QString(100, u'x'));
  static_cast<QDialog*>(save)->accept();
  EXPECT_EQ(outcome.errors, QList<int>{dialogs::kErrCancel});
  EXPECT_EQ(outcome.accepted, 0);
  EXPECT_TRUE(fd->fileName().isEmpty());
  ASSERT_EVENTUALLY_EQ(fileDialog() == nullptr, true);

  // Released while open (its window unloads): the dialog goes with it, reporting nothing.
  fd->showOpen();
  const QPointer<QFileDialog> last = fileDialog();
  ASSERT_NE(last, nullptr);
  outcome.errors.clear();
  fd.reset();
  EXPECT_TRUE(last.isNull());
  EXPECT_EQ(outcome.errors, QList<int>{});
}

TEST_F(DialogsGui, AboutBoxOverTheMainWindow) {
  // About: modal to the main window, centred once framed; its link takes the main
  // window's engine to the product's site.
  auto* engine = new browser::WebEngineBrowser(nullptr);
  std::unique_ptr<QWidget> view(engine->widget());
  bool centred = false;
  testsupport::ModalWatcher about([&](QWidget* box) {
    EXPECT_EQ(box->parentWidget(), &main);
    // Once the window manager has framed it, the outer rectangle sits centred.
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    centred = testsupport::waitUntil([&] {
      const QRect outer = box->frameGeometry();
      return outer.size() != box->size() &&
             outer.topLeft() == s.topLeft() + dialogs::centredPosition(s.size(), outer.size());
    });
    QTest::mouseClick(box->findChild<QLabel*>("Label5"), Qt::LeftButton);
  });
  dialogs::showAbout(&main, [engine](const QUrl& page) { engine->load(page.toString()); });
  EXPECT_TRUE(testsupport::waitUntil([&] { return engine->url() == dialogs::kProductWebPage; }))
      << engine->url().toStdString();
  EXPECT_TRUE(centred);
}

}  // namespace
