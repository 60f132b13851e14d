// The ZodorAzev decision, tick by tick, in the units the window system reports.
#include "stealth/zodor_azev.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <limits>
#include <random>
#include <string>

namespace {

using stealth::Action;
using stealth::TickInputs;
using stealth::ZodorAzev;
using stealth::ZodorAzevState;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

ZodorAzevState st(std::int32_t outsideX, std::int32_t outsideY, bool entered, std::int32_t zone) {
  ZodorAzevState s;
  s.lngOutsideX = outsideX;
  s.lngOutsideY = outsideY;
  s.blnEntered = entered;
  s.lngZoneTicks = zone;
  return s;
}

// By default a window spanning pixels 100..299 across and 200..399 down, on 1024x768.
TickInputs at(int x, int y, bool visible = true, bool pressed = true, float left = 1500,
              float top = 3000, float screenW = 1024 * 15, float screenH = 768 * 15) {
  return {pressed, visible, left, top, 3000, 3000, screenW, screenH, x, y};
}

char actionChar(Action a) { return a == Action::Hide ? 'H' : a == Action::Restore ? 'R' : '.'; }

// Ticks a trace with the window's visibility following the actions. Each letter is a
// cursor place; lower case ticks with the button up. I inside, L left, R right, B below,
// C right and below, E on the right boundary, Z the zone's corner (819, 614), 1 just left
// of it, 2 just above it.
std::string run(const std::string& trace, float left = 1500, float top = 3000) {
  ZodorAzev m;
  bool visible = true;
  std::string actions;
  for (const char c : trace) {
    const char u = static_cast<char>(std::toupper(c));
    const auto [x, y] = u == 'I'   ? std::pair{200, 300}
                        : u == 'L' ? std::pair{50, 300}
                        : u == 'R' ? std::pair{350, 300}
                        : u == 'B' ? std::pair{200, 450}
                        : u == 'C' ? std::pair{350, 450}
                        : u == 'E' ? std::pair{300, 300}
                        : u == '1' ? std::pair{818, 614}
                        : u == '2' ? std::pair{819, 613}
                                   : std::pair{819, 614};
    const Action a = m.Tick(at(x, y, visible, c == u, left, top));
    visible = a == Action::Hide ? false : a == Action::Restore ? true : visible;
    actions += actionChar(a);
  }
  return actions;
}

TEST(ZodorAzev, Traces) {
  const std::string hidden = "IRR", back = std::string(11, 'Z');
  struct Case {
    const char* what;
    std::string trace, actions;
  } cases[] = {
      {"hides on the second tick outside", "IRR", "..H"},
      {"never entered: stays", "LLLLBBCC", "........"},
      {"a tick inside or on the boundary resets the count", "ILILIRERR", "........H"},
      {"across a corner: hides once", "ICCZ", "..H."},
      {"right, then only below: third tick", "IRBB", "...H"},
      {"below, then the corner: the vertical count hides", "IBC", "..H"},
      {"button up: nothing counts, nothing resets", "IRrrrR", ".....H"},
      {"eleven zone ticks in a row restore", hidden + back, "..H" + std::string(10, '.') + "R"},
      {"a tick beside or above the zone restarts the count",
       hidden + "ZZZZZZZZZZ1ZZZZZZZZZZ2" + back, "..H" + std::string(32, '.') + "R"},
      {"button up while hidden keeps the count", hidden + "ZZZZZzzzzZZZZZZ",
       "..H" + std::string(14, '.') + "R"},
      {"restored: not entered, leaving does nothing until inside again", hidden + back + "LBCLIRR",
       "..H" + std::string(10, '.') + "R" + "......H"},
      {"hidden again in the zone: back on the next tick", hidden + back + "IRRZ",
       "..H" + std::string(10, '.') + "R" + "..HR"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.trace), c.actions) << c.what;
  }
  // A window over the zone still hides (the zone only counts while hidden).
  EXPECT_EQ(run("ZRR", 800 * 15, 600 * 15), "..H");
}

TEST(ZodorAzev, EdgesAreStrictOnBothAxes) {
  struct Case {
    int x, y;
    bool enters;
    int outsideX, outsideY;
  } cases[] = {{100, 300, false, 0, 0}, {299, 300, true, 0, 0},  {300, 300, false, 0, 0},
               {301, 300, false, 1, 0}, {99, 300, false, 1, 0},  {200, 200, false, 0, 0},
               {200, 399, true, 0, 0},  {200, 400, false, 0, 0}, {200, 401, false, 0, 1},
               {200, 199, false, 0, 1}};
  for (const Case& c : cases) {
    ZodorAzev m;
    EXPECT_EQ(m.Tick(at(c.x, c.y)), Action::None);
    EXPECT_EQ(m.state().blnEntered, c.enters) << c.x << "," << c.y;
    EXPECT_EQ(m.state().lngOutsideX, c.outsideX) << c.x << "," << c.y;
    EXPECT_EQ(m.state().lngOutsideY, c.outsideY) << c.x << "," << c.y;
  }
  // Left 1507 twips is pixel 100.47: compared unrounded, 100 is outside, 101 inside.
  ZodorAzev m;
  m.Tick(at(100, 300, true, true, 1507));
  EXPECT_EQ(m.state().lngOutsideX, 1);
  m.Tick(at(101, 300, true, true, 1507));
  EXPECT_TRUE(m.state().blnEntered);
}

TEST(ZodorAzev, ZoneEdgesOfCommonScreens) {
  for (const auto [w, h, x, y] :
       {std::array{800, 600, 640, 480}, std::array{1024, 768, 819, 614},
        std::array{1280, 1024, 1024, 819}, std::array{1920, 1080, 1536, 864}}) {
    const auto screen = [&](int cx, int cy) {
      ZodorAzev m(st(0, 0, false, 10));
      return m.Tick(at(cx, cy, false, true, 1500, 3000, static_cast<float>(w * 15),
                       static_cast<float>(h * 15)));
    };
    EXPECT_EQ(screen(x, y), Action::Restore) << w;
    EXPECT_EQ(screen(x - 1, y), Action::None) << w;
    EXPECT_EQ(screen(x, y - 1), Action::None) << w;
  }
}

TEST(ZodorAzev, CountersAtTheLimitAndOddScreensNeverMisbehave) {
  ZodorAzev zone(st(0, 0, false, kMax));
  EXPECT_EQ(zone.Tick(at(900, 700, false)), Action::Restore);
  EXPECT_EQ(zone.state().lngZoneTicks, kMax);
  ZodorAzev outside(st(kMax, kMax, true, 0));
  EXPECT_EQ(outside.Tick(at(350, 450)), Action::Hide);
  EXPECT_EQ(outside.state(), st(0, 0, true, 0));
  // x can never reach the zone on an enormous screen: the count restarts.
  ZodorAzev odd(st(0, 0, false, 20));
  EXPECT_EQ(odd.Tick(at(kMax, kMax, false, true, 0, 0, std::numeric_limits<float>::max(),
                        -std::numeric_limits<float>::infinity())),
            Action::None);
  EXPECT_EQ(odd.state().lngZoneTicks, 0);
}

// A driver that skips every tick while the machine is quiescent and the inputs are
// unchanged acts exactly like one that ticks every millisecond; and held inputs make the
// machine quiescent within thirteen ticks (two to hide, eleven to come back).
TEST(ZodorAzev, SkippingQuiescentTicksChangesNoAction) {
  std::mt19937 rng(17);
  const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const int places[][2] = {{200, 300}, {50, 300},  {350, 300}, {200, 450}, {350, 450},
                           {300, 300}, {100, 200}, {819, 614}, {818, 614}, {900, 700}};
  for (int trace = 0; trace < 300; ++trace) {
    ZodorAzev every, skipping;
    TickInputs in = at(200, 300), last{};
    bool skippingVisible = true, quiet = false;
    int heldTicks = 0;
    for (int step = 0; step < 400; ++step) {
      if (pick(8) == 0) {
        const int* p = places[pick(10)];
        in.cursorX = pick(4) == 0 ? pick(1100) - 20 : p[0];
        in.cursorY = pick(4) == 0 ? pick(800) - 20 : p[1];
        in.buttonPressed = pick(10) != 0;
        if (pick(6) == 0) {  // moved, or placed over the zone
          in.Left = static_cast<float>(pick(2) == 0 ? 800 * 15 : pick(900) * 15);
          in.Top = static_cast<float>(pick(700) * 15);
        }
        if (pick(20) == 0) {
          in.windowVisible = !in.windowVisible;  // shown or hidden by someone else
          skippingVisible = in.windowVisible;
        }
        heldTicks = 0;
      }
      const bool wasQuiescent = every.Quiescent(in);
      heldTicks = wasQuiescent ? heldTicks : heldTicks + 1;
      ASSERT_LE(heldTicks, 13) << trace << ":" << step;
      const Action a = every.Tick(in);
      TickInputs seen = in;
      seen.windowVisible = skippingVisible;
      Action b = Action::None;
      if (!(quiet && seen == last)) {
        b = skipping.Tick(seen);
        quiet = b == Action::None && skipping.Quiescent(seen);
        last = seen;
      }
      ASSERT_EQ(actionChar(a), actionChar(b)) << trace << ":" << step;
      in.windowVisible = a == Action::Hide ? false : a == Action::Restore ? true : in.windowVisible;
      skippingVisible = in.windowVisible;
    }
  }
}

}  // namespace
