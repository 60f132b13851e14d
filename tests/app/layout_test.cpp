#include "app/layout.h"
#include "app/keyboard.h"

#include <gtest/gtest.h>

using namespace app;

TEST(Layout, DesignSizesLeaveThirtyFiveTwipsAboveTheStatusBar) {
  const BrowserSize size = layoutOnResize(8715, 6240, 1020, 315);
  ASSERT_TRUE(size.height.has_value());
  EXPECT_FLOAT_EQ(*size.height, 4885);
  EXPECT_FLOAT_EQ(size.width, 8715);
  EXPECT_FLOAT_EQ(5925 - (kBrowserTopTwips + *size.height), 35);
}

TEST(Layout, BrowserLowerEdgeTracksTheCoolBarHeight) {
  for (const float coolBar : {1020.0F, 1400.0F, 2000.0F}) {
    const BrowserSize resized = layoutOnResize(8715, 6240, coolBar, 315);
    const BrowserSize changed = layoutOnCoolBarHeightChanged(8715, 6240, coolBar, 315);
    const float statusTop = 6240 - 315;
    EXPECT_FLOAT_EQ(statusTop - (kBrowserTopTwips + *resized.height), coolBar - 985) << coolBar;
    EXPECT_FLOAT_EQ(statusTop - (kBrowserTopTwips + *changed.height), coolBar - 1005) << coolBar;
  }
}

TEST(Layout, NegativeHeightIsNotAppliedButWidthIs) {
  // 1355 = cool bar 1020 + status bar 315 + 20 of slack.
  EXPECT_TRUE(layoutOnResize(100, 1355, 1020, 315).height.has_value());
  EXPECT_FLOAT_EQ(*layoutOnResize(100, 1355, 1020, 315).height, 0);
  const BrowserSize tiny = layoutOnResize(12345, 1354, 1020, 315);
  EXPECT_FALSE(tiny.height.has_value());
  EXPECT_FLOAT_EQ(tiny.width, 12345);
  EXPECT_FALSE(layoutOnCoolBarHeightChanged(15, 15, 1020, 315).height.has_value());
  EXPECT_TRUE(layoutOnCoolBarHeightChanged(15, 1335, 1020, 315).height.has_value());
}

TEST(Keyboard, OnlyCtrlAloneWithNOpensAWindow) {
  EXPECT_TRUE(isNewWindowKey(78, shiftState(Qt::ControlModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::ShiftModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::NoModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::AltModifier)));
  EXPECT_FALSE(isNewWindowKey(77, shiftState(Qt::ControlModifier)));
  // The keypad flag is not part of the shift state.
  EXPECT_TRUE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::KeypadModifier)));
}
