// The about box as the user meets it: a real window under a window manager, the link
// driving a real engine.
#include "browser/webengine_browser.h"
#include "dialogs/about_layout.h"
#include "dialogs/frm_about.h"
#include "support/wait.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

using testsupport::waitUntil;

namespace {

QIcon testIcon() {
  QPixmap p(32, 32);
  p.fill(Qt::darkGreen);
  return QIcon(p);
}

// Where the rule puts a box of this outer size on the primary screen, in pixels.
QPoint expectedTopLeft(const QSize& outer) {
  const QRect s = QGuiApplication::primaryScreen()->geometry();
  const auto at = dialogs::centredPosition(s.width() * 15.0, s.height() * 15.0,
                                           outer.width() * 15.0, outer.height() * 15.0);
  return s.topLeft() + QPoint(dialogs::twipsToPixels(at.left), dialogs::twipsToPixels(at.top));
}

// Runs `drive` on the about box once it is the modal window, while showAbout blocks.
bool withAboutBox(const std::function<void(dialogs::frmAbout*)>& drive,
                  const std::function<void()>& show) {
  bool seen = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<dialogs::frmAbout*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
      return;
    }
    poll.stop();
    seen = true;
    QPointer<dialogs::frmAbout> guard(box);
    drive(box);
    QTimer::singleShot(5000, [guard] {
      if (guard && guard->isVisible()) {
        ADD_FAILURE() << "about box left open";
        guard->reject();
      }
    });
  });
  poll.start();
  show();
  return seen;
}

class AboutBox : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    QApplication::setWindowIcon(testIcon());
  }

  void SetUp() override {
    main = new QMainWindow();
    main->setWindowTitle(QStringLiteral("main"));
    main->resize(640, 480);
    main->move(40, 40);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    engine = new browser::WebEngineBrowser(nullptr);  // owned by its view
  }

  void TearDown() override {
    delete engine->widget();
    delete main;
  }

  QMainWindow* main = nullptr;
  browser::WebEngineBrowser* engine = nullptr;
};

TEST_F(AboutBox, ShowsNameVersionAndLinkAsDesigned) {
  dialogs::frmAbout box(main, engine);
  EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
  EXPECT_EQ(box.size(), QSize(312, 206));
  EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "fixed border";
  EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(box.windowIcon().isNull());

  auto* label1 = box.findChild<QLabel*>(QStringLiteral("Label1"));
  ASSERT_EQ(label1, box.Label1);
  EXPECT_EQ(label1->text(), QStringLiteral("Hushleaf Browser"));
  EXPECT_TRUE(label1->font().bold());
  EXPECT_TRUE(label1->font().underline());
  EXPECT_EQ(label1->pos(), QPoint(77, 13));

  auto* label2 = box.findChild<QLabel*>(QStringLiteral("Label2"));
  ASSERT_NE(label2, nullptr);
  EXPECT_EQ(label2->text(), QStringLiteral("Version 1.0"));
  EXPECT_EQ(label2->accessibleName(), QStringLiteral("Label2"));

  auto* link = box.findChild<QLabel*>(QStringLiteral("Label5"));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->accessibleName(), QStringLiteral("Label5"));
  EXPECT_EQ(link->text(), QStringLiteral("Click here to Visit Hushleaf Browser Website"));
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_GE(link->width(), link->sizeHint().width()) << "the link text is never cut";
  EXPECT_LE(link->geometry().right(), box.width() - 1) << "nor does it run past the box";

  auto* image = box.findChild<QLabel*>(QStringLiteral("Image1"));
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(image->pixmap().isNull());
  EXPECT_EQ(box.strWebPage, QStringLiteral("http://www.hushleafbrowser.example/"));
}

TEST_F(AboutBox, CentredModalAndTheLinkNavigatesTheEngine) {
  const QString before = engine->LocationURL();
  bool centred = false;
  bool blocksMain = false;
  const bool seen = withAboutBox(
      [&](dialogs::frmAbout* box) {
        EXPECT_EQ(box->parentWidget(), main);
        blocksMain = box->isModal() && QApplication::activeModalWidget() == box;
        // Once the window manager has framed it, the outer rectangle sits centred.
        centred = waitUntil(
            [&] {
              const QRect outer = box->frameGeometry();
              return outer.size() != box->size() &&
                     outer.topLeft() == expectedTopLeft(outer.size());
            },
            3000);
        const QRect outer = box->frameGeometry();
        EXPECT_EQ(outer.topLeft(), expectedTopLeft(outer.size()))
            << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
        QTest::mouseClick(box->Label5, Qt::LeftButton, {}, box->Label5->rect().center());
      },
      [&] { dialogs::showAbout(main, engine); });
  ASSERT_TRUE(seen);
  EXPECT_TRUE(centred);
  EXPECT_TRUE(blocksMain);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the link closes the box";
  EXPECT_TRUE(main->findChildren<dialogs::frmAbout*>().isEmpty()) << "the box is released";
  EXPECT_TRUE(waitUntil(
      [&] {
        return engine->LocationURL() == QStringLiteral("http://www.hushleafbrowser.example/");
      },
      10000))
      << engine->LocationURL().toStdString() << " (was " << before.toStdString() << ")";
}

TEST_F(AboutBox, ClosingTheBoxLeavesThePageAlone) {
  engine->Navigate(QStringLiteral("about:blank"));
  waitUntil([&] { return engine->LocationURL() == QStringLiteral("about:blank"); }, 5000);
  const bool seen = withAboutBox([](dialogs::frmAbout* box) { box->close(); },
                                 [&] { dialogs::showAbout(main, engine); });
  ASSERT_TRUE(seen);
  testsupport::pump(300);
  EXPECT_EQ(engine->LocationURL(), QStringLiteral("about:blank"));
}

TEST_F(AboutBox, PressWithoutReleaseOnTheLinkDoesNothing) {
  dialogs::frmAbout box(main, engine);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QTest::mousePress(box.Label5, Qt::LeftButton, {}, box.Label5->rect().center());
  QTest::mouseRelease(box.Label5, Qt::LeftButton, {}, QPoint(-5, -5));
  EXPECT_TRUE(box.isVisible());
  box.close();
}

}  // namespace
