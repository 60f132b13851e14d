// The AutoHide decision, tick by tick, in the units the window system reports.
#include "stealth/auto_hide.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cctype>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace {

using namespace stealth;

char actionChar(Action a) { return a == Action::Hide ? 'H' : a == Action::Restore ? 'R' : '.'; }

// Ticks a trace, visibility following the actions: '|' a new window, 'M'/'m' moved over the
// zone and back; else cursor places (lower case: button up): Inside, Left, Right, Below, Corner,
// right Edge, Zone corner (819, 614), 1 left of it, 2 above it, 3/4 left edge/last pixel in, 5/6
// one beyond right/left, 7/8/9 top edge/last pixel in/bottom edge, 0/# one below/above, @ right
// of left edge. `skip` leaves out ticks while the machine is quiescent and its inputs unchanged,
// as the window's timer does; else '!' marks inputs held for 13 ticks that leave it active.
std::string run(const std::string& trace, bool skip = false) {
  AutoHide m;
  // A window spanning pixels 100..299 across and 200..399 down, on 1024x768.
  const QRect window(100, 200, 200, 200);
  TickInputs in{true, true, window, {1024, 768}, 200, 300}, last;
  bool quiet = false;
  int held = 0;
  std::string actions;
  for (const char c : trace) {
    if (c == '|') {  // a new window
      m = AutoHide();
      in.windowVisible = true;
      quiet = false;
      held = 0;
      actions += c;
      continue;
    }
    const TickInputs before = in;
    if (c == 'M' || c == 'm') {
      in.frame.moveTopLeft(c == 'M' ? QPoint(800, 600) : window.topLeft());
    } else {
      const char u = static_cast<char>(std::toupper(c));
      const auto i = std::string_view("ILRBCE12Z34567890#@").find(u);
      const int xs[] = {200, 50,  350, 200, 350, 300, 818, 819, 819, 100,
                        299, 301, 99,  200, 200, 200, 200, 200, 101};
      const int ys[] = {300, 300, 300, 450, 450, 300, 614, 613, 614, 300,
                        300, 300, 300, 200, 399, 400, 401, 199, 300};
      in.cursorX = xs[i];
      in.cursorY = ys[i];
      in.buttonPressed = c == u;
    }
    held = in == before ? held : 0;
    if (!skip && !m.isQuiescent(in) && ++held > 13) {
      actions += '!';
    }
    Action a = Action::None;
    if (!skip || !quiet || !(in == last)) {
      a = m.tick(in);
      quiet = a == Action::None && m.isQuiescent(in);
      last = in;
    }
    in.windowVisible = a == Action::Hide ? false : a == Action::Restore ? true : in.windowVisible;
    actions += actionChar(a);
  }
  return actions;
}

TEST(AutoHide, Traces) {
  const std::string hidden = "IRR", back = std::string(11, 'Z'), dots = std::string(10, '.');
  const std::string cases[][2] = {
      {"IRR|I55|I66|I00|I##|MZRR", "..H|..H|..H|..H|..H|...H"},  // outside by one pixel
      {"I33EE7799|4RR|8RR|3RR|ERR|7RR|9BB", ".........|..H|..H|...|...|...|..."},  // edges
      {"LLBBCC|ILILIRERR|ICCZ|IRBB", "......|........H|..H.|...H"},  // counts per axis
      {"IRrrrR|" + hidden + "ZZZZZzzzzZZZZZZ", ".....H|..H" + std::string(14, '.') + "R"},
      {hidden + "ZZZZZZZZZZ1ZZZZZZZZZZ2" + back, "..H" + std::string(32, '.') + "R"},
      // Restored: not entered until inside again; hidden again in the zone: back at once.
      {hidden + back + "LBCLIRRZ", "..H" + dots + "R......HR"},
  };
  for (const auto& [trace, actions] : cases) {
    EXPECT_EQ(run(trace), actions) << trace;
  }
}

// Skipping quiescent ticks acts exactly like ticking every millisecond, and held inputs
// always bring quiescence.
TEST(AutoHide, SkippingQuiescentTicksChangesNoAction) {
  std::mt19937 rng(17);
  const std::string_view alphabet = "ILRBCE12Z34567890#@Mmilrbz|";
  for (int n = 0; n < 3000; ++n) {
    std::string trace;
    while (trace.size() < 300) {
      trace.append(1 + rng() % 16, alphabet[rng() % alphabet.size()]);
    }
    const std::string every = run(trace);
    ASSERT_EQ(every.find('!'), std::string::npos) << trace;
    ASSERT_EQ(run(trace, true), every) << trace;
  }
}

// How far the cursor may wander before anything can happen: on 1024x768 with the window
// at pixels 100..300 across and 200..400 down.
TEST(AutoHide, QuietDistance) {
  struct Case {
    const char* what;
    bool pressed, visible, entered;
    int x, y;
    double distance;
  };
  const Case cases[] = {
      {"button up", false, true, true, 200, 300, std::numeric_limits<double>::infinity()},
      {"hidden, left of the zone", true, false, false, 789, 700, 30},
      {"hidden, above it", true, false, false, 900, 600, 14},
      {"hidden, above and left", true, false, false, 816, 610, 5},
      {"hidden, in it", true, false, false, 819, 614, 0},
      {"not entered, left", true, true, false, 50, 300, 50},
      {"not entered, below right", true, true, false, 303, 404, 5},
      {"not entered, on the left edge", true, true, false, 100, 300, 0},
      {"not entered, inside", true, true, false, 200, 300, 0},
      {"entered, inside", true, true, true, 200, 300, 0},
  };
  for (const Case& c : cases) {
    AutoHideState state;
    state.entered = c.entered;
    const AutoHide m(state);
    const TickInputs in{c.pressed, c.visible, {100, 200, 200, 200}, {1024, 768}, c.x, c.y};
    EXPECT_DOUBLE_EQ(m.quietDistance(in), c.distance) << c.what;
  }
}

// The restore zone starts at the first whole pixel at or right of (below) four fifths of the
// screen, exact fifths included: its distance from the screen's left (top) edge.
TEST(AutoHide, TheZoneStartsAtFourFifthsRoundedDown) {
  const struct {
    QSize screen;
    QPoint edge;
  } cases[] = {{{1024, 768}, {819, 614}},
               {{1280, 1024}, {1024, 819}},
               {{1366, 705}, {1092, 564}},
               {{5, 4}, {4, 3}}};
  for (const auto& c : cases) {
    const AutoHide m;
    const TickInputs left{true, false, {}, c.screen, 0, c.screen.height()};
    const TickInputs top{true, false, {}, c.screen, c.screen.width(), 0};
    EXPECT_DOUBLE_EQ(m.quietDistance(left), c.edge.x()) << c.screen.width();
    EXPECT_DOUBLE_EQ(m.quietDistance(top), c.edge.y()) << c.screen.height();
  }
}

// Ticks anywhere closer than the quiet distance neither act nor enter nor count towards a
// restore, whatever the counters held and however the cursor wanders there.
TEST(AutoHide, NothingHappensWithinTheQuietDistance) {
  std::mt19937 rng(29);
  std::uniform_int_distribution<int> coordinate(-20, 1100);
  int walks = 0;
  for (int n = 0; n < 20000; ++n) {
    AutoHideState state;
    state.outsideX = static_cast<std::int32_t>(rng() % 2);
    state.outsideY = static_cast<std::int32_t>(rng() % 2);
    state.entered = rng() % 4 == 0;
    AutoHide m(state);
    TickInputs in{true,        rng() % 2 == 0,  {100, 200, 200, 200},
                  {1024, 768}, coordinate(rng), coordinate(rng)};
    const double room = m.quietDistance(in);
    if (room <= 1) {
      continue;
    }
    ++walks;
    const QPoint start(in.cursorX, in.cursorY);
    for (int step = 0; step < 40; ++step) {
      // Anywhere within the room, strictly.
      const double r = std::uniform_real_distribution<double>(0, room)(rng);
      const double a = std::uniform_real_distribution<double>(0, 2 * M_PI)(rng);
      in.cursorX = start.x() + static_cast<int>(std::trunc(r * std::cos(a)));
      in.cursorY = start.y() + static_cast<int>(std::trunc(r * std::sin(a)));
      ASSERT_EQ(m.tick(in), Action::None) << in.cursorX << "," << in.cursorY << " room " << room;
      ASSERT_FALSE(in.windowVisible && m.state().entered);
      ASSERT_EQ(m.state().zoneTicks, 0);
    }
  }
  EXPECT_GT(walks, 5000);
}

}  // namespace
