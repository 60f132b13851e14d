// The ZodorAzev decision, tick by tick, in the units the window system reports.
#include "stealth/zodor_azev.h"

#include <gtest/gtest.h>

#include <cctype>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace {

using namespace stealth;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// By default a window spanning pixels 100..299 across and 200..399 down, on 1024x768.
TickInputs at(int x, int y, bool visible = true, bool pressed = true, float left = 1500,
              float top = 3000, float screenW = 1024 * 15, float screenH = 768 * 15) {
  return {pressed, visible, left, top, 3000, 3000, screenW, screenH, x, y};
}

char actionChar(Action a) { return a == Action::Hide ? 'H' : a == Action::Restore ? 'R' : '.'; }

// Ticks a trace, the window's visibility following the actions; '|' starts a new window.
// Other characters are cursor places (lower case: button up): Inside, Left, Right, Below,
// Corner, on the right Edge, Zone corner (819, 614), 1 left of it, 2 above it, 3 on the
// left edge, 4 last pixel in, 5/6 one beyond right/left, 7 top edge, 8 last pixel in at
// the bottom, 9 bottom edge, 0/# one below/above, @ one right of the left edge.
std::string run(const std::string& trace, float left = 1500, float top = 3000) {
  ZodorAzev m;
  bool visible = true;
  std::string actions;
  for (const char c : trace) {
    if (c == '|') {
      m = ZodorAzev();
      visible = true;
      actions += c;
      continue;
    }
    const char u = static_cast<char>(std::toupper(c));
    const auto i = std::string_view("ILRBCE12Z34567890#@").find(u);
    const int xs[] = {200, 50,  350, 200, 350, 300, 818, 819, 819, 100,
                      299, 301, 99,  200, 200, 200, 200, 200, 101};
    const int ys[] = {300, 300, 300, 450, 450, 300, 614, 613, 614, 300,
                      300, 300, 300, 200, 399, 400, 401, 199, 300};
    const Action a = m.Tick(at(xs[i], ys[i], visible, c == u, left, top));
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
      {"one pixel beyond each edge is outside", "I55|I66|I00|I##", "..H|..H|..H|..H"},
      {"on an edge is neither in nor out", "I33EE7799", "........."},
      {"the last pixels inside enter, the edges do not", "4RR|8RR|3RR|ERR|7RR|9BB",
       "..H|..H|...|...|...|..."},
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
  // Left 1507 twips is pixel 100.47, compared unrounded: 100 is outside, 101 inside.
  EXPECT_EQ(run("I33|@RR", 1507), "..H|..H");
}

TEST(ZodorAzev, CountersAtTheLimitStayThere) {
  ZodorAzev zone({0, 0, false, {}, kMax});
  EXPECT_EQ(zone.Tick(at(900, 700, false)), Action::Restore);
  EXPECT_EQ(zone.state().lngZoneTicks, kMax);
  ZodorAzev outside({kMax, kMax, true, {}, 0});
  EXPECT_EQ(outside.Tick(at(350, 450)), Action::Hide);
  EXPECT_EQ(outside.state(), ZodorAzevState({0, 0, true, {}, 0}));
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
    bool quiet = false;
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
        in.windowVisible ^= pick(20) == 0;  // shown or hidden by someone else
        heldTicks = 0;
      }
      heldTicks += every.Quiescent(in) ? 0 : 1;
      ASSERT_LE(heldTicks, 13) << trace << ":" << step;
      const Action a = every.Tick(in);
      Action b = Action::None;
      if (!(quiet && in == last)) {  // the skipping driver's inputs are the same: same actions
        b = skipping.Tick(in);
        quiet = b == Action::None && skipping.Quiescent(in);
        last = in;
      }
      ASSERT_EQ(actionChar(a), actionChar(b)) << trace << ":" << step;
      in.windowVisible = a == Action::Hide ? false : a == Action::Restore ? true : in.windowVisible;
    }
  }
}

}  // namespace
