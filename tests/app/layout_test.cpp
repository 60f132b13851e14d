#include "app/layout.h"

#include <gtest/gtest.h>

#include <optional>

using namespace app;

namespace {

// The page's lower edge is the window's height less the bars; a size that leaves no room
// keeps the old height, never a negative one, and the width always follows.
TEST(Layout, ThePageFillsWhatTheBarsLeaveAndNeverGoesNegative) {
  const struct {
    bool onResize;  // else: the cool bar changed height
    float width, height, coolBar;
    std::optional<float> page;
  } rows[] = {
      {true, 8715, 6240, 1020, 4885},  // 35 twips above the status bar
      {true, 8715, 6240, 1400, 4505},  {true, 8715, 6240, 2000, 3905},
      {false, 8715, 6240, 1020, 4905}, {false, 8715, 6240, 2000, 3925},
      {true, 100, 1355, 1020, 0},      {true, 12345, 1354, 1020, std::nullopt},
      {false, 15, 1335, 1020, 0},      {false, 15, 15, 1020, std::nullopt},
  };
  for (const auto& r : rows) {
    const BrowserSize size =
        r.onResize ? layoutOnResize(r.width, r.height, r.coolBar, 315)
                   : layoutOnToolBarAreaHeightChanged(r.width, r.height, r.coolBar, 315);
    EXPECT_EQ(size.height, r.page) << r.height << " " << r.coolBar;
    EXPECT_FLOAT_EQ(size.width, r.width);
  }
}

}  // namespace
