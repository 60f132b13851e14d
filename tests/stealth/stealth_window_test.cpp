// ZodorAzev and transparency on real windows under openbox, the pointer moved by XTest
// motion as a user's mouse moves it.
#include "platform/app_title.h"
#include "platform/layered_window.h"
#include "platform/task_list.h"
#include "stealth/transparent.h"
#include "stealth/zodor_azev_adapter.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QWidget>

#include <string>

using stealth::Action;
using stealth::ZodorAzevAdapter;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kZone(1150, 950);  // the 1280x1024 screen's zone starts at 1024, 819
const QPoint kAway(40, 40);     // outside every window and the zone

// A top-level window with its ZodorAzev button and adapter, as a browser window has.
struct Stealth {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  QAction* button = new QAction(QStringLiteral("ZodorAzev"), window.get());
  std::unique_ptr<ZodorAzevAdapter> adapter;
  std::vector<std::pair<QPoint, Action>> ticks;  // the cursor each tick saw, and its action
  QStringList notices;

  explicit Stealth(QRect geometry, ZodorAzevAdapter::Session session = {}) {
    button->setCheckable(true);
    adapter = std::make_unique<ZodorAzevAdapter>(window.get(), button, session);
    adapter->notify = [this](const QString& text) { notices << text; };
    adapter->setSafetyPoll(std::chrono::hours(1));  // only events may wake it here
    QObject::connect(adapter.get(), &ZodorAzevAdapter::ticked, [this](Action a) {
      const auto& c = adapter->CursorCtrl1();
      ticks.emplace_back(QPoint(c.mouseX(), c.mouseY()), a);
    });
    window->setGeometry(geometry);
    window->show();
    EXPECT_TRUE(waitUntil(
        [&] { return x::viewable(id()) && window->frameGeometry() != window->geometry(); }));
  }
  [[nodiscard]] std::uint32_t id() const { return static_cast<std::uint32_t>(window->winId()); }
  bool rests() {
    return waitUntil([&] { return !adapter->timerRunning(); });
  }
  // Ticks that saw the cursor at `p` up to the first one that acted.
  [[nodiscard]] int ticksAt(QPoint p, Action until) const {
    int n = 0;
    for (const auto& [seen, action] : ticks) {
      n += seen == p ? 1 : 0;
      if (action == until) return n;
    }
    return -1;
  }
};

class StealthWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
    ASSERT_TRUE(x::windowManagerReady());
    platform::setTaskVisible(false);
  }
  void SetUp() override {
    platform::AppTitle::set(platform::applicationTitle());
    x::moveMouse(kAway);
  }
};

TEST_F(StealthWindowTest, LeavingHidesOnTheSecondTickElevenZoneTicksBringItBackInPlace) {
  Stealth other(QRect(650, 120, 300, 200));  // pressed, never entered: stays throughout
  other.button->setChecked(true);
  Stealth w(QRect(100, 120, 400, 300));
  w.window->setWindowTitle(QStringLiteral("Page A - Hushleaf Browser"));
  // Moved by the user (another client): it must come back there, not where openbox likes.
  ASSERT_EQ(std::system(("xdotool windowmove " + std::to_string(w.id()) + " 133 144").c_str()), 0);
  ASSERT_TRUE(waitUntil([&] { return x::rootPosition(w.id()).x() >= 133; }));
  const QPoint placed = x::rootPosition(w.id());
  w.button->setChecked(true);
  x::moveMouse(w.window->frameGeometry().center());
  ASSERT_TRUE(waitUntil([&] { return w.adapter->state().blnEntered; }));
  ASSERT_TRUE(w.rests());  // at rest inside: no timer

  w.ticks.clear();
  x::moveMouse(kAway);
  ASSERT_TRUE(waitUntil([&] { return !x::viewable(w.id()); }));
  EXPECT_EQ(w.ticksAt(kAway, Action::Hide), 2);
  EXPECT_EQ(x::netWmName(w.id()), QByteArray());
  EXPECT_TRUE(platform::AppTitle::get().isEmpty());
  EXPECT_TRUE(w.rests());  // hidden, at rest outside the zone

  w.ticks.clear();
  x::moveMouse(kZone);
  ASSERT_TRUE(waitUntil([&] { return x::viewable(w.id()); }));
  EXPECT_EQ(w.ticksAt(kZone, Action::Restore), 11);
  EXPECT_EQ(platform::AppTitle::get(), platform::applicationTitle());
  EXPECT_TRUE(waitUntil([&] { return x::netWmName(w.id()) == "Page A - Hushleaf Browser"; }));
  EXPECT_TRUE(waitUntil([&] { return x::rootPosition(w.id()) == placed; }));
  // openbox drops the task-list hints on unmap; they are back after the restore.
  EXPECT_TRUE(waitUntil([&] { return x::hasState(w.id(), "_NET_WM_STATE_SKIP_TASKBAR"); }));

  // Restored, not entered: leaving does nothing.
  x::moveMouse(kAway);
  EXPECT_TRUE(w.rests());
  EXPECT_TRUE(x::viewable(w.id()) && x::viewable(other.id()));
}

TEST_F(StealthWindowTest, TheButtonStartsAndStopsTheTimerAndMotionWakesIt) {
  Stealth w(QRect(100, 120, 400, 300));
  w.button->setChecked(true);
  EXPECT_TRUE(w.adapter->timerRunning());
  EXPECT_TRUE(w.rests());
  const auto ticks = w.adapter->tickCount();
  x::moveMouse(QPoint(60, 60));  // motion wakes it, even far from the window
  EXPECT_TRUE(waitUntil([&] { return w.adapter->tickCount() > ticks; }));
  EXPECT_TRUE(w.rests());
  w.button->setChecked(false);
  EXPECT_FALSE(w.adapter->timerRunning());
  const auto upTicks = w.adapter->tickCount();
  x::moveMouse(w.window->frameGeometry().center());
  x::moveMouse(kZone);
  testsupport::pump(100);
  EXPECT_EQ(w.adapter->tickCount(), upTicks);
}

TEST_F(StealthWindowTest, InAWaylandSessionPressingExplainsAndNeverHides) {
  Stealth w(QRect(100, 120, 400, 300), ZodorAzevAdapter::Session::Wayland);
  w.button->setChecked(true);
  const QString needsX11 = QString::fromLatin1(stealth::kNeedsX11Session);
  EXPECT_EQ(w.notices, QStringList{needsX11});
  EXPECT_EQ(w.button->toolTip(), needsX11);
  x::moveMouse(w.window->frameGeometry().center());
  x::moveMouse(kAway);
  testsupport::pump(100);
  EXPECT_TRUE(x::viewable(w.id()) && w.adapter->tickCount() == 0);
}

TEST_F(StealthWindowTest, OpacityFollowsTheLevelAndGoesAtOpaqueAndUnload) {
  Stealth w(QRect(100, 120, 400, 300));
  constexpr std::int32_t kOtherBits = 0x100 | 0x8;
  platform::setWindowLong(w.window.get(), platform::kGwlExStyle, kOtherBits);
  const std::uint32_t frame = x::frameOf(w.id());
  const struct {
    int level;
    std::optional<std::uint32_t> opacity;
  } steps[] = {{254, 0xfefefefe}, {75, 0x4b4b4b4b}, {75, 0x4b4b4b4b}, {256, 0x4b4b4b4b},
               {-1, 0x4b4b4b4b},  {0, 0},           {255, {}},        {128, 0x80808080}};
  for (const auto& step : steps) {
    stealth::transparent::MakeTransparent(w.window.get(), step.level);
    EXPECT_EQ(x::opacity(w.id()), step.opacity) << step.level;
    // openbox mirrors it onto the frame a little later; a compositor reads it there.
    EXPECT_TRUE(waitUntil([&] { return x::opacity(frame) == step.opacity; })) << step.level;
  }
  stealth::transparent::RemoveTransparency(w.window.get());  // as the window unloads
  EXPECT_EQ(x::opacity(w.id()), std::nullopt);
  EXPECT_EQ(platform::getWindowLong(w.window.get(), platform::kGwlExStyle), kOtherBits);
}

}  // namespace
