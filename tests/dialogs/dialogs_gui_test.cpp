// The file dialog and the about box as the user meets them: real windows under a window
// manager, the about box's link driving a real engine. Typing a name into the file dialog,
// and cancelling it, are in the browser window's suite (File > Open).
#include "browser/webengine_browser.h"
#include "dialogs/about_dialog.h"
#include "dialogs/about_layout.h"
#include "dialogs/open_save_dialog.h"
#include "platform/file_dialog.h"
#include "support/modal.h"
#include "support/wait.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QtWidgets>

namespace {

TEST(DialogsGui, FileDialogAndAboutBoxOverTheMainWindow) {
  ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
  QMainWindow main;
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  // Open starts on the filter asked for, changes no file, and reports the filter chosen.
  dialogs::OpenSaveDialog fd;
  fd.setHwnd(&main);
  fd.setFilter(dialogs::kOpenCommandFilter);
  fd.setFilterIndex(2);
  fd.setFlags(dialogs::kOpenCommandFlags);
  fd.setInitDir(QDir::tempPath());
  const QString file = QCoreApplication::applicationFilePath();
  {
    testsupport::ModalWatcher user([&](QWidget* modal) {
      auto* d = qobject_cast<QFileDialog*>(modal);
      EXPECT_EQ(d->parentWidget(), &main);
      EXPECT_EQ(d->directory(), QDir::temp());
      EXPECT_TRUE(d->testOption(QFileDialog::ReadOnly)) << "files can be renamed or deleted";
      EXPECT_EQ(d->findChild<QComboBox*>("fileTypeCombo")->currentIndex(), 1);
      d->selectNameFilter(d->nameFilters().value(2));
      d->selectFile(file);
      QMetaObject::invokeMethod(d, &QDialog::accept);
    });
    fd.ShowOpen();
  }
  EXPECT_EQ(fd.FileName(), file);
  EXPECT_EQ(fd.FilterIndex(), 3);
  // Files from different folders are named from the folder they share; never a cut-off path.
  EXPECT_EQ(platform::selectionBuffer({"/x/1/a", "/x/2/b"}, true, 12),
            QString("/x|1/a|2/b||").replace(u'|', u'\0'));
  EXPECT_FALSE(platform::selectionBuffer({"/a/b"}, false, 4));

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
