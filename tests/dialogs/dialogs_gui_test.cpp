// The file dialog and the about box as the user meets them: real windows under a window
// manager, the about box's link driving a real engine. Typing a name into the file dialog,
// and cancelling it, are in the browser window's suite (File > Open).
#include "browser/webengine_browser.h"
#include "dialogs/about_layout.h"
#include "dialogs/c_file_dialog.h"
#include "dialogs/frm_about.h"
#include "platform/file_dialog.h"
#include "platform/twips.h"
#include "support/modal.h"
#include "support/wait.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QtWidgets>

#include <memory>

using testsupport::waitUntil;

namespace {

class DialogsGui : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
  }
  void SetUp() override {
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  }
  std::unique_ptr<QMainWindow> main = std::make_unique<QMainWindow>();
};

TEST_F(DialogsGui, OpenStartsOnTheFilterAskedForAndReportsTheOneChosen) {
  QTemporaryDir dir;
  QFile(dir.filePath("a.txt")).open(QIODevice::WriteOnly);
  cFileDialog fd;
  fd.setHwnd(main.get());
  fd.setFilter(dialogs::kOpenCommandFilter);
  fd.setFilterIndex(2);
  fd.setInitDir(dir.path());
  testsupport::ModalWatcher user([&](QWidget* modal) {
    auto* d = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->parentWidget(), main.get());
    EXPECT_EQ(d->findChild<QComboBox*>("fileTypeCombo")->currentIndex(), 1);
    d->selectNameFilter(d->nameFilters().value(2));
    d->selectFile("a.txt");
    QMetaObject::invokeMethod(d, &QDialog::accept);
  });
  fd.ShowOpen();
  EXPECT_EQ(fd.FileName(), QDir(dir.path()).absoluteFilePath("a.txt"));
  EXPECT_EQ(fd.FilterIndex(), 3);
  // Files from different folders are named from the folder they share; never a cut-off path.
  EXPECT_EQ(platform::selectionBuffer({"/x/1/a", "/x/2/b"}, true, 13),
            QString("/x|1/a|2/b|||").replace(u'|', u'\0'));
  EXPECT_FALSE(platform::selectionBuffer({"/a/b"}, false, 4));
}

TEST_F(DialogsGui, AboutIsCentredAndModalAndItsLinkTakesTheMainEngineToTheSite) {
  auto* engine = new browser::WebEngineBrowser(nullptr);
  std::unique_ptr<QWidget> view(engine->widget());
  bool centred = false;
  testsupport::ModalWatcher user([&](QWidget* box) {
    EXPECT_EQ(box->parentWidget(), main.get());
    // Once the window manager has framed it, the outer rectangle sits centred.
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    centred = waitUntil([&] {
      const QRect outer = box->frameGeometry();
      const auto at = dialogs::centredPosition(s.width() * 15, s.height() * 15, outer.width() * 15,
                                               outer.height() * 15);
      return outer.size() != box->size() &&
             outer.topLeft() == QPoint(twips::toPixels(at.left), twips::toPixels(at.top));
    });
    auto* link = box->findChild<QLabel*>("Label5");
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  });
  dialogs::showAbout(main.get(), engine);
  EXPECT_TRUE(centred);
  EXPECT_EQ(user.seen(), 1);
  EXPECT_TRUE(waitUntil([&] { return engine->LocationURL() == dialogs::kProductWebPage; }))
      << engine->LocationURL().toStdString();
}

}  // namespace
