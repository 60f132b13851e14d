// AutoHide and transparency on real windows under openbox, the pointer moved by XTest
// motion as a user's mouse moves it.
#include "platform/app_title.h"
#include "platform/window_opacity.h"
#include "stealth/auto_hide_controller.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCursor>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using stealth::Action;
using stealth::AutoHideController;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kZone(1150, 950);  // the 1280x1024 screen's zone starts at 1024, 819
const QPoint kAway(40, 40);     // outside every window and the zone

// A top-level window with its "ZodorAzev" button and adapter, as a browser window has.
// `seen` gets two characters a tick: where the cursor was (a: kAway, z: kZone, else ?)
// and what the tick did (. H R).
struct Stealth {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  QAction* button = new QAction(QStringLiteral("ZodorAzev"), window.get());
  std::unique_ptr<AutoHideController> adapter;
  std::string seen;

  explicit Stealth(QRect geometry, AutoHideController::Session session = {}) {
    button->setCheckable(true);
    adapter = std::make_unique<AutoHideController>(window.get(), button, session);
    adapter->setSafetyPoll(std::chrono::hours(1));  // only events may wake it here
    QObject::connect(adapter.get(), &AutoHideController::ticked, [this](Action a) {
      const QPoint p(adapter->pointer().x(), adapter->pointer().y());
      seen += p == kAway ? 'a' : p == kZone ? 'z' : '?';
      seen += a == Action::Hide ? 'H' : a == Action::Restore ? 'R' : '.';
    });
    if (geometry.x() < 0) {
      window->resize(geometry.size());  // the window manager places it
    } else {
      window->setGeometry(geometry);
    }
    window->show();
    EXPECT_TRUE(waitUntil(
        [&] { return x::viewable(id()) && window->frameGeometry() != window->geometry(); }));
  }
  [[nodiscard]] std::uint32_t id() const { return static_cast<std::uint32_t>(window->winId()); }
  bool rests() {
    return waitUntil([&] { return !adapter->timerRunning(); });
  }
};

class StealthWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    x::moveMouse(kAway);
  }
};

TEST_F(StealthWindowTest, LeavingHidesOnTheSecondTickElevenZoneTicksBringItBack) {
  Stealth other(QRect(650, 120, 300, 200));  // pressed, never entered: stays throughout
  other.button->setChecked(true);
  Stealth wayland(QRect(700, 500, 200, 200), AutoHideController::Session::Wayland);
  QStringList notices;
  wayland.adapter->notify = [&](const QString& text) { notices << text; };
  wayland.button->setChecked(true);  // in a Wayland session it only says why it does nothing
  EXPECT_EQ(notices, QStringList{QString::fromLatin1(stealth::kNeedsX11Session)});
  EXPECT_EQ(wayland.button->toolTip(), notices.value(0));

  // Placed by the window manager, then dragged by its title bar: it comes back where the
  // user left it, not where the manager would place it anew.
  Stealth w(QRect(-1, -1, 400, 300));
  const QPoint placed = w.window->frameGeometry().topLeft();
  const auto moved = [&] { return w.window->frameGeometry().topLeft() != placed; };
  // A loaded window manager may miss a drag, as it may miss a hand's: the hand tries again.
  for (int attempt = 0; attempt < 3 && !moved(); ++attempt) {
    const QRect frame = w.window->frameGeometry();
    const QPoint title(frame.center().x(), (frame.top() + w.window->geometry().top()) / 2);
    x::drag(title, title + QPoint(60, 150));
    waitUntil(moved, 3000);
  }
  ASSERT_TRUE(moved());
  x::moveMouse(kAway);
  w.button->setChecked(true);
  EXPECT_TRUE(w.adapter->timerRunning() && w.adapter->listensToMotion());
  x::moveMouse(w.window->frameGeometry().center());
  ASSERT_EVENTUALLY_EQ(w.adapter->state().entered, true);
  ASSERT_TRUE(w.rests());  // at rest inside: no timer
  // The title bar is part of the window: the pointer on it is inside still.
  const auto ticksInside = w.adapter->tickCount();
  x::moveMouse(QPoint(w.window->frameGeometry().center().x(), w.window->geometry().top() - 2));
  ASSERT_TRUE(waitUntil([&] { return w.adapter->tickCount() > ticksInside; }) && w.rests());
  EXPECT_TRUE(x::viewable(w.id()));

  const QRect place = w.window->geometry();
  w.seen.clear();
  x::moveMouse(kAway);
  ASSERT_EVENTUALLY_EQ(x::viewable(w.id()), false);
  EXPECT_EQ(w.seen.substr(0, 4), "a.aH");
  EXPECT_TRUE(platform::AppTitle::get().isEmpty());
  EXPECT_TRUE(w.rests());  // hidden, at rest outside the zone

  w.seen.clear();
  x::moveMouse(kZone);
  ASSERT_EVENTUALLY_EQ(x::viewable(w.id()), true);
  EXPECT_EQ(w.seen.substr(0, 22), "z.z.z.z.z.z.z.z.z.z.zR");
  EXPECT_EQ(platform::AppTitle::get(), platform::applicationTitle());

  // Back where it stood, framed anew by the window manager, and shown to Qt as well.
  EXPECT_TRUE(waitUntil([&] {
    return w.window->isVisible() && w.window->geometry() == place &&
           w.window->frameGeometry() != place;
  }));

  x::moveMouse(kAway);  // restored, not entered: leaving does nothing
  EXPECT_TRUE(w.rests());
  EXPECT_EQ(std::count(w.seen.begin(), w.seen.end(), 'R'), 1) << w.seen;
  EXPECT_TRUE(x::viewable(w.id()) && x::viewable(other.id()) && x::viewable(wayland.id()));
  EXPECT_EQ(wayland.adapter->tickCount(), 0U);
  w.button->setChecked(false);  // up: nothing listens, nothing ticks
  EXPECT_FALSE(w.adapter->timerRunning() || w.adapter->listensToMotion());
  const auto ticks = w.adapter->tickCount();
  for (const QPoint p : {w.window->frameGeometry().center(), kAway, kZone}) x::moveMouse(p);
  testsupport::pump(100);
  EXPECT_EQ(w.adapter->tickCount(), ticks);

  // A warp (another program moving the pointer) makes no raw motion: Enter and Leave wake
  // a shown window, and the slow look finds the pointer in the zone for a hidden one.
  other.adapter->setSafetyPoll(std::chrono::milliseconds(50));
  QCursor::setPos(other.window->frameGeometry().center());
  ASSERT_EVENTUALLY_EQ(other.adapter->state().entered, true);
  QCursor::setPos(kAway);
  ASSERT_TRUE(waitUntil([&] { return !x::viewable(other.id()); }) && other.rests());
  QCursor::setPos(kZone);
  EXPECT_EVENTUALLY_EQ(x::viewable(other.id()), true);
}

// Ticks the loop was too busy to take still count when the pointer lay still meanwhile:
// they would have seen just what the late one sees. A pointer that moved meanwhile was
// somewhere unknown, so only the ticks that come count.
TEST_F(StealthWindowTest, TicksTheLoopMissedCountOnlyWhileThePointerLayStill) {
  Stealth w(QRect(100, 120, 400, 300));
  w.button->setChecked(true);
  // The turn of the loop each tick ran in, up to the restore: a turn ends when a call
  // queued from its first tick runs.
  int turn = 0;
  bool turnOpen = false;
  bool restored = false;
  std::vector<int> turns;
  QObject::connect(w.adapter.get(), &AutoHideController::ticked, [&](Action action) {
    if (!turnOpen) {
      turnOpen = true;
      ++turn;
      QMetaObject::invokeMethod(
          w.adapter.get(), [&] { turnOpen = false; }, Qt::QueuedConnection);
    }
    if (!restored) {
      turns.push_back(turn);
    }
    restored = restored || action == Action::Restore;
  });
  for (const bool movedMeanwhile : {false, true}) {
    SCOPED_TRACE(movedMeanwhile ? "moved while the loop was busy" : "lay still");
    x::moveMouse(w.window->frameGeometry().center());
    ASSERT_EVENTUALLY_EQ(w.adapter->state().entered, true);
    x::moveMouse(kAway);
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(w.id()); }) && w.rests());

    turns.clear();
    restored = false;
    x::moveMouse(kZone);
    ASSERT_TRUE(waitUntil([&] { return !turns.empty(); }));
    const auto before = static_cast<std::ptrdiff_t>(turns.size());
    // The loop is busy for longer than the rest of the count takes.
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    if (movedMeanwhile) {
      x::moveMouse(kZone + QPoint(20, 20));  // still in the zone
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    ASSERT_TRUE(waitUntil([&] { return restored && x::viewable(w.id()); }));
    ASSERT_GT(static_cast<std::ptrdiff_t>(turns.size()), before);
    EXPECT_EQ(turns.size(), static_cast<std::size_t>(stealth::kZoneTicksToRestore)) << w.seen;
    // Lying still, the first turn after the busy spell takes every tick left; moved, it
    // takes one.
    EXPECT_EQ(std::count(turns.begin() + before, turns.end(), turns[before]),
              movedMeanwhile ? 1 : stealth::kZoneTicksToRestore - before)
        << w.seen;
    x::moveMouse(kAway);
  }
}

TEST_F(StealthWindowTest, OpacityFollowsTheLevelAndGoesAtOpaqueAndUnload) {
  Stealth w(QRect(100, 120, 400, 300));
  const std::pair<int, std::optional<std::uint32_t>> steps[] = {
      {254, 0xfefefefe}, {255, {}}, {75, 0x4b4b4b4b}, {256, 0x4b4b4b4b}, {-1, 0x4b4b4b4b}};
  for (const auto& [level, opacity] : steps) {
    platform::setOpacity(w.window.get(), level);
    EXPECT_EQ(x::opacity(w.id()), opacity) << level;
  }
  platform::setOpacity(w.window.get(), platform::kOpaqueLevel);  // as a see-through window unloads
  EXPECT_EQ(x::opacity(w.id()), std::nullopt);
}

}  // namespace
