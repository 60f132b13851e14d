// A hidden window while the screens change under it (RandR: a monitor added, the screen
// made smaller), on the suite's own X server under openbox, the pointer moved by XTest.
#include "stealth/auto_hide_controller.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWidget>

#include <memory>

using stealth::AutoHideController;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kAway(40, 40);

// Runs xrandr on the suite's display; true when it succeeded.
bool xrandr(const QStringList& arguments) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(QStringLiteral("xrandr"), arguments);
  return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The screen of 1280x1024 made 1024x768, and back. The mode is made once per server.
bool screenSize(const QSize& size) {
  const QString mode = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
  if (size == QSize(1024, 768)) {
    xrandr({"--newmode", mode, "63.50", "1024", "1072", "1176", "1328", "768", "771", "775", "798",
            "-hsync", "+vsync"});
    xrandr({"--addmode", "screen", mode});
  }
  return xrandr({"--output", "screen", "--mode", mode, "--fb", mode}) &&
         waitUntil([&] { return QGuiApplication::primaryScreen()->size() == size; }, 5000);
}

// A top-level window with its "ZodorAzev" button and adapter, as a browser window has.
struct Stealth {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  QAction* button = new QAction(QStringLiteral("ZodorAzev"), window.get());
  std::unique_ptr<AutoHideController> adapter;

  explicit Stealth(QRect geometry) {
    button->setCheckable(true);
    adapter = std::make_unique<AutoHideController>(window.get(), button);
    window->setGeometry(geometry);
    window->show();
    EXPECT_TRUE(waitUntil(
        [&] { return x::viewable(id()) && window->frameGeometry() != window->geometry(); }));
  }
  [[nodiscard]] std::uint32_t id() const { return static_cast<std::uint32_t>(window->winId()); }

  // As a user does it: pressed, the pointer in and out again.
  void hide() {
    button->setChecked(true);
    x::moveMouse(window->frameGeometry().center());
    ASSERT_TRUE(waitUntil([&] { return adapter->state().entered; }));
    x::moveMouse(kAway);
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(id()); }));
  }
};

class HiddenScreens : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    x::moveMouse(kAway);
  }
};

TEST_F(HiddenScreens, AScreenMadeSmallerWhileHiddenKeepsTheZoneAndTheWindowOnIt) {
  Stealth w(QRect(1100, 820, 150, 150));  // in the corner the smaller screen loses
  w.hide();
  ASSERT_TRUE(screenSize(QSize(1024, 768)));
  // The zone of the screen as it is now (x >= 819, y >= 614), outside the one it was.
  x::moveMouse(QPoint(900, 700));
  EXPECT_TRUE(waitUntil([&] { return x::viewable(w.id()) && w.window->isVisible(); }, 5000));
  // Back on the screen, whole.
  EXPECT_TRUE(
      waitUntil([&] { return QRect(0, 0, 1024, 768).contains(w.window->frameGeometry()); }, 3000))
      << w.window->frameGeometry().x() << "," << w.window->frameGeometry().y();
  x::moveMouse(kAway);
  EXPECT_TRUE(screenSize(QSize(1280, 1024)));
}

TEST_F(HiddenScreens, WithTwoMonitorsTheZoneIsTheLowerRightOfThePrimaryOne) {
  // Two halves of the screen, the right one primary.
  ASSERT_TRUE(xrandr({"--setmonitor", "left", "640/169x1024/270+0+0", "screen"}));
  ASSERT_TRUE(xrandr({"--setmonitor", "*right", "640/169x1024/270+640+0", "none"}));
  ASSERT_TRUE(waitUntil(
      [] {
        return QGuiApplication::screens().size() == 2 &&
               QGuiApplication::primaryScreen()->geometry() == QRect(640, 0, 640, 1024);
      },
      5000));
  Stealth w(QRect(700, 100, 300, 200));
  w.hide();
  // The lower right of the other monitor does nothing; that of the primary one restores.
  x::moveMouse(QPoint(600, 900));
  testsupport::pump(500);
  EXPECT_FALSE(x::viewable(w.id()));
  x::moveMouse(QPoint(1200, 900));  // x >= 640 + 512, y >= 819
  EXPECT_TRUE(waitUntil([&] { return x::viewable(w.id()); }, 5000));
  x::moveMouse(kAway);
  xrandr({"--delmonitor", "right"});
  xrandr({"--delmonitor", "left"});
  EXPECT_TRUE(waitUntil([] { return QGuiApplication::screens().size() == 1; }, 5000));
}

}  // namespace
