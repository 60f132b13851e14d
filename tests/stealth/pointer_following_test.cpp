// AutoHide following a moving pointer on real windows under openbox: a hand far from all
// that matters is not looked at on every motion, and one that arrives at its top speed is
// still met as every tick would meet it. The pointer moves by XTest motion, one report a
// millisecond at most, as a mouse's does.
#include "stealth/auto_hide_controller.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QWidget>

#include <cmath>
#include <memory>

using stealth::AutoHideController;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

// The 1280x1024 screen's zone starts at 1024, 819.
const QPoint kFar(300, 700);  // below the window, far left of the zone

struct Hand {
  AutoHideController& adapter;
  int motions = 0;
  bool sawNap = false;

  // In a straight line at `speed` pixels a millisecond, one motion a millisecond or later.
  void sweep(QPoint from, QPoint to, double speed) {
    const QPoint way = to - from;
    const int steps =
        std::max(1, static_cast<int>(std::ceil(std::hypot(way.x(), way.y()) / speed)));
    for (int i = 1; i <= steps; ++i) {
      step(from + way * i / steps);
    }
  }
  // Round and round `centre` without resting, 60 pixels out, a turn in 200 motions.
  void circle(QPoint centre, int count) {
    for (int i = 0; i < count; ++i) {
      const double a = i * 2 * M_PI / 200;
      step(centre + QPoint(static_cast<int>(std::lround(60 * std::cos(a))),
                           static_cast<int>(std::lround(60 * std::sin(a)))));
    }
  }
  void step(QPoint to) {
    x::moveMouse(to);
    ++motions;
    testsupport::pump(1);
    sawNap = sawNap || adapter.napping();
  }
};

struct Pressed {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  QAction* button = new QAction(QStringLiteral("ZodorAzev"), window.get());
  std::unique_ptr<AutoHideController> adapter;

  Pressed() {
    button->setCheckable(true);
    adapter = std::make_unique<AutoHideController>(window.get(), button);
    adapter->setSafetyPoll(std::chrono::hours(1));  // only motion may wake it here
    window->setGeometry(100, 120, 400, 300);
    window->show();
    EXPECT_TRUE(waitUntil(
        [&] { return x::viewable(id()) && window->frameGeometry() != window->geometry(); }));
    x::moveMouse(kFar);
    button->setChecked(true);  // as if by a key: the pointer never was inside
    EXPECT_TRUE(waitUntil([&] { return !adapter->timerRunning(); }));
  }
  [[nodiscard]] std::uint32_t id() const { return static_cast<std::uint32_t>(window->winId()); }
};

class PointerFollowingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
  }
};

// Far away, the pointer is looked at less often than it moves; a hand then coming at its
// top speed, crossing the zone without resting (long enough for eleven ticks) and going
// away again, still brings the window back.
TEST_F(PointerFollowingTest, HiddenComesBackFromAHandCrossingTheZoneAtTopSpeed) {
  Pressed w;
  Hand hand{*w.adapter};
  hand.sweep(kFar, w.window->frameGeometry().center(), AutoHideController::kHandSpeed);
  ASSERT_TRUE(waitUntil([&] { return w.adapter->state().entered; }));
  x::moveMouse(kFar);
  ASSERT_TRUE(waitUntil([&] { return !x::viewable(w.id()); }));
  ASSERT_TRUE(waitUntil([&] { return !w.adapter->timerRunning(); }));

  const auto ticks = w.adapter->tickCount();
  hand.motions = 0;
  hand.circle(kFar, 200);
  EXPECT_TRUE(hand.sawNap);
  EXPECT_LT(w.adapter->tickCount() - ticks, static_cast<std::uint64_t>(hand.motions) / 2);
  EXPECT_FALSE(x::viewable(w.id()));

  // In at the top speed, slower across the zone's corner (about 60 motions), out fast.
  hand.sweep(kFar, QPoint(1030, 825), AutoHideController::kHandSpeed);
  hand.sweep(QPoint(1030, 825), QPoint(1270, 1015), 5);
  hand.sweep(QPoint(1270, 1015), kFar, AutoHideController::kHandSpeed);
  EXPECT_TRUE(waitUntil([&] { return x::viewable(w.id()); }));
}

// A window pressed but never entered: far away the pointer is looked at less often than
// it moves; a hand sweeping through the window at its top speed and on out of it still
// enters it, and so hides it.
TEST_F(PointerFollowingTest, NeverEnteredHidesAfterAHandSweepsThroughAtTopSpeed) {
  Pressed w;
  Hand hand{*w.adapter};
  const auto ticks = w.adapter->tickCount();
  hand.circle(QPoint(900, 650), 200);
  EXPECT_TRUE(hand.sawNap);
  EXPECT_LT(w.adapter->tickCount() - ticks, static_cast<std::uint64_t>(hand.motions) / 2);
  EXPECT_FALSE(w.adapter->state().entered);

  const int y = w.window->frameGeometry().center().y();
  hand.sweep(QPoint(900, 650), QPoint(700, y), AutoHideController::kHandSpeed);
  hand.sweep(QPoint(700, y), QPoint(20, y), AutoHideController::kHandSpeed);
  hand.sweep(QPoint(20, y), kFar, AutoHideController::kHandSpeed);
  EXPECT_TRUE(waitUntil([&] { return !x::viewable(w.id()); }));
}

}  // namespace
