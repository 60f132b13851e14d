// The ZodorAzev decision, tick by tick, in the units the window system reports.
#include "stealth/zodor_azev.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using stealth::Action;
using stealth::TickInputs;
using stealth::ZodorAzev;
using stealth::ZodorAzevState;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

ZodorAzevState st(std::int32_t outsideX, std::int32_t outsideY, bool entered, std::int32_t zone,
                  const QString& caption = {}) {
  ZodorAzevState s;
  s.lngOutsideX = outsideX;
  s.lngOutsideY = outsideY;
  s.blnEntered = entered;
  s.lngZoneTicks = zone;
  s.strHiddenCaption = caption;
  return s;
}

// A window spanning pixels 100..299 across and 200..399 down, on a 1024x768 screen.
struct Scene {
  float left = 1500, top = 3000, width = 3000, height = 3000;
  float screenW = 1024 * 15, screenH = 768 * 15;

  [[nodiscard]] TickInputs at(int x, int y, bool visible = true, bool pressed = true) const {
    TickInputs in;
    in.buttonPressed = pressed;
    in.windowVisible = visible;
    in.Left = left;
    in.Top = top;
    in.Width = width;
    in.Height = height;
    in.ScreenWidth = screenW;
    in.ScreenHeight = screenH;
    in.cursorX = x;
    in.cursorY = y;
    return in;
  }
};

constexpr int kInX = 200, kInY = 300;      // inside
constexpr int kLeftX = 50, kRightX = 350;  // outside horizontally (y inside)
constexpr int kBelowY = 450;               // outside vertically (x inside)

// Feeds ticks while tracking visibility the way the window would, returning the actions.
struct Driver {
  ZodorAzev machine;
  Scene scene;
  bool visible = true;

  Action tick(int x, int y, bool pressed = true) {
    const Action a = machine.Tick(scene.at(x, y, visible, pressed));
    if (a == Action::Hide) {
      visible = false;
    } else if (a == Action::Restore) {
      visible = true;
    }
    return a;
  }
  void enter() { ASSERT_EQ(tick(kInX, kInY), Action::None); }
};

TEST(ZodorAzevEdges, HorizontalBoundariesAreStrictOnBothSides) {
  const Scene s;
  struct Case {
    int x;
    bool enters;
    bool outside;
  };
  // Pixels 100..299: the left edge and one past the right edge are neither in nor out.
  for (const Case c : {Case{100, false, false}, Case{299, true, false}, Case{300, false, false},
                       Case{301, false, true}, Case{99, false, true}}) {
    SCOPED_TRACE(c.x);
    ZodorAzev m;
    EXPECT_EQ(m.Tick(s.at(c.x, kInY)), Action::None);
    EXPECT_EQ(m.state().blnEntered, c.enters);
    EXPECT_EQ(m.state().lngOutsideX, c.outside ? 1 : 0);
  }
}

TEST(ZodorAzevEdges, VerticalBoundariesMatchTheHorizontalOnes) {
  const Scene s;  // rows 200..399
  for (const auto& [y, enters, outside] :
       std::vector<std::tuple<int, bool, bool>>{{200, false, false},
                                                {399, true, false},
                                                {400, false, false},
                                                {401, false, true},
                                                {199, false, true}}) {
    SCOPED_TRACE(y);
    ZodorAzev m;
    m.Tick(s.at(kInX, y));
    EXPECT_EQ(m.state().blnEntered, enters);
    EXPECT_EQ(m.state().lngOutsideY, outside ? 1 : 0);
  }
}

TEST(ZodorAzevEdges, FractionalTwipsAreComparedUnrounded) {
  // Left 1507 twips is pixel 100.47: x = 100 is outside, 101 is inside.
  Scene s;
  s.left = 1507;
  ZodorAzev m;
  m.Tick(s.at(100, kInY));
  EXPECT_EQ(m.state().lngOutsideX, 1);
  EXPECT_FALSE(m.state().blnEntered);
  m.Tick(s.at(101, kInY));
  EXPECT_TRUE(m.state().blnEntered);
}

TEST(ZodorAzevHide, NeverEnteredWindowStaysShown) {
  Driver d;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(d.tick(kLeftX, kBelowY), Action::None);
  }
  EXPECT_TRUE(d.visible);
  EXPECT_FALSE(d.machine.state().blnEntered);
}

TEST(ZodorAzevHide, HidesOnSecondConsecutiveTickOutside) {
  Driver d;
  d.enter();
  EXPECT_EQ(d.tick(kRightX, kInY), Action::None);
  EXPECT_EQ(d.tick(kRightX, kInY), Action::Hide);
  EXPECT_EQ(d.machine.state().lngOutsideX, 0);
  EXPECT_TRUE(d.machine.state().blnEntered);  // only a restore clears it
}

TEST(ZodorAzevHide, ATickInsideResetsTheCount) {
  Driver d;
  d.enter();
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(d.tick(kLeftX, kInY), Action::None);
    ASSERT_EQ(d.tick(kInX, kInY), Action::None);
  }
  EXPECT_TRUE(d.visible);
  // A tick exactly on the boundary also counts as "not outside".
  EXPECT_EQ(d.tick(kLeftX, kInY), Action::None);
  EXPECT_EQ(d.tick(300, kInY), Action::None);
  EXPECT_EQ(d.tick(kLeftX, kInY), Action::None);
  EXPECT_EQ(d.tick(kLeftX, kInY), Action::Hide);
}

TEST(ZodorAzevHide, CornerExitHidesOnceAndResetsBothCounters) {
  Driver d;
  d.enter();
  EXPECT_EQ(d.tick(kRightX, kBelowY), Action::None);
  EXPECT_EQ(d.machine.state().lngOutsideX, 1);
  EXPECT_EQ(d.machine.state().lngOutsideY, 1);
  // Both axes pass their limit on this tick; one Hide, and the vertical count still resets.
  EXPECT_EQ(d.tick(kRightX, kBelowY), Action::Hide);
  EXPECT_EQ(d.machine.state().lngOutsideX, 0);
  EXPECT_EQ(d.machine.state().lngOutsideY, 0);
}

TEST(ZodorAzevHide, RightThenOnlyBelowHidesOnTheThirdTick) {
  Driver d;
  d.enter();
  EXPECT_EQ(d.tick(kRightX, kInY), Action::None);  // x: 1
  EXPECT_EQ(d.tick(kInX, kBelowY), Action::None);  // x reset, y: 1
  EXPECT_EQ(d.machine.state().lngOutsideX, 0);
  EXPECT_EQ(d.tick(kInX, kBelowY), Action::Hide);  // y: 2
}

TEST(ZodorAzevHide, VerticalCounterAdvancesOnTheTickTheHorizontalOneHid) {
  // Starting with one tick below, then a corner tick: the horizontal test hides first, the
  // vertical one passes its limit on the same tick and must not hide a second time.
  Driver d;
  d.enter();
  EXPECT_EQ(d.tick(kInX, kBelowY), Action::None);     // y: 1
  EXPECT_EQ(d.tick(kRightX, kBelowY), Action::Hide);  // x: 1, y: 2 -> Hide by y
  EXPECT_EQ(d.machine.state().lngOutsideX, 1);
  EXPECT_EQ(d.machine.state().lngOutsideY, 0);
}

TEST(ZodorAzevHide, WindowCoveringTheZoneStillHides) {
  Driver d;
  d.scene.left = 800 * 15;
  d.scene.top = 600 * 15;
  d.scene.width = 200 * 15;
  d.scene.height = 150 * 15;
  EXPECT_EQ(d.tick(900, 700), Action::None);
  EXPECT_TRUE(d.machine.state().blnEntered);
  EXPECT_EQ(d.tick(1010, 700), Action::None);
  EXPECT_EQ(d.tick(1010, 700), Action::Hide);
}

TEST(ZodorAzevRestore, ZoneOn1024x768NeedsElevenConsecutiveTicks) {
  Driver d;
  d.enter();
  d.tick(kLeftX, kInY);
  ASSERT_EQ(d.tick(kLeftX, kInY), Action::Hide);
  // 819 and 614 are the zone's first column and row; 818 and 613 lie outside it.
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(d.tick(819, 614), Action::None) << i;
  }
  EXPECT_EQ(d.tick(818, 767), Action::None);  // one tick outside restarts the count
  EXPECT_EQ(d.machine.state().lngZoneTicks, 0);
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(d.tick(1023, 614), Action::None) << i;
  }
  EXPECT_EQ(d.tick(1023, 613), Action::None);
  EXPECT_EQ(d.machine.state().lngZoneTicks, 0);
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(d.tick(819, 614), Action::None) << i;
  }
  EXPECT_EQ(d.tick(819, 614), Action::Restore);
  EXPECT_FALSE(d.machine.state().blnEntered);
}

TEST(ZodorAzevRestore, ZoneEdgesOfCommonScreens) {
  struct Case {
    int w, h, x, y;
  };
  for (const Case c : {Case{800, 600, 640, 480}, Case{1024, 768, 819, 614},
                       Case{1280, 1024, 1024, 819}, Case{1920, 1080, 1536, 864}}) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    Scene s;
    s.screenW = static_cast<float>(c.w * 15);
    s.screenH = static_cast<float>(c.h * 15);
    ZodorAzev in(st(0, 0, false, 10));
    EXPECT_EQ(in.Tick(s.at(c.x, c.y, false)), Action::Restore);
    ZodorAzev left(st(0, 0, false, 10));
    EXPECT_EQ(left.Tick(s.at(c.x - 1, c.y, false)), Action::None);
    ZodorAzev above(st(0, 0, false, 10));
    EXPECT_EQ(above.Tick(s.at(c.x, c.y - 1, false)), Action::None);
  }
}

TEST(ZodorAzevRestore, RestoredWindowIsNotEnteredAndIgnoresLeaving) {
  Driver d;
  d.machine = ZodorAzev(st(0, 0, true, 10));
  d.visible = false;
  ASSERT_EQ(d.tick(900, 700), Action::Restore);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(d.tick(kLeftX, kBelowY), Action::None);
  }
  // Once inside again, leaving hides.
  d.enter();
  d.tick(kLeftX, kInY);
  EXPECT_EQ(d.tick(kLeftX, kInY), Action::Hide);
}

TEST(ZodorAzevRestore, ZoneCounterSurvivesTheRestoreSoTheNextHideComesBackAtOnce) {
  Driver d;
  d.visible = false;
  for (int i = 0; i < 10; ++i) {
    d.tick(900, 700);
  }
  ASSERT_EQ(d.tick(900, 700), Action::Restore);
  EXPECT_EQ(d.machine.state().lngZoneTicks, 11);
  // Visible ticks leave the zone counter alone, wherever the cursor is.
  d.enter();
  d.tick(kLeftX, kInY);
  ASSERT_EQ(d.tick(kLeftX, kInY), Action::Hide);
  EXPECT_EQ(d.machine.state().lngZoneTicks, 11);
  // Hidden again with the cursor already in the zone: back on the very next tick.
  EXPECT_EQ(d.tick(900, 700), Action::Restore);
  EXPECT_EQ(d.machine.state().lngZoneTicks, 12);
}

TEST(ZodorAzevFailures, CountersAtTheLimitStayPut) {
  const Scene s;
  ZodorAzev zone(st(0, 0, false, kMax));
  EXPECT_EQ(zone.Tick(s.at(900, 700, false)), Action::Restore);
  EXPECT_EQ(zone.state().lngZoneTicks, kMax);

  // An outside counter at the limit stays, is still past 1, hides and is reset.
  ZodorAzev outside(st(kMax, kMax, true, 0));
  EXPECT_EQ(outside.Tick(s.at(kRightX, kBelowY)), Action::Hide);
  EXPECT_EQ(outside.state().lngOutsideX, 0);
  EXPECT_EQ(outside.state().lngOutsideY, 0);
}

TEST(ZodorAzevFailures, OddScreenSizesNeverMisbehave) {
  Scene s;
  s.screenW = std::numeric_limits<float>::max();
  s.screenH = -std::numeric_limits<float>::infinity();
  ZodorAzev m(st(0, 0, false, 20));
  // x can never reach the zone on an enormous screen: the count restarts.
  EXPECT_EQ(m.Tick(s.at(kMax, kMax, false)), Action::None);
  EXPECT_EQ(m.state().lngZoneTicks, 0);
}

TEST(ZodorAzevOff, ButtonUpChangesNothingWhateverTheState) {
  const Scene s;
  const ZodorAzevState states[] = {
      {},
      st(1, 1, true, 0, QStringLiteral("Page")),
      st(0, 0, true, 10),
  };
  for (const ZodorAzevState& start : states) {
    for (const bool visible : {true, false}) {
      ZodorAzev m(start);
      for (const auto& [x, y] : std::vector<std::pair<int, int>>{
               {kInX, kInY}, {kRightX, kBelowY}, {kLeftX, kInY}, {900, 700}, {1023, 767}}) {
        ASSERT_EQ(m.Tick(s.at(x, y, visible, false)), Action::None);
      }
      EXPECT_EQ(m.state(), start);
    }
  }
}

TEST(ZodorAzevOff, StateKeptWhileOffCarriesOnWhenPressedAgain) {
  Driver d;
  d.enter();
  EXPECT_EQ(d.tick(kRightX, kInY), Action::None);
  EXPECT_EQ(d.tick(kRightX, kInY, false), Action::None);
  EXPECT_EQ(d.tick(kRightX, kInY), Action::Hide);
}

}  // namespace
