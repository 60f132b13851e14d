// The about box's place and version text.
#include "dialogs/about_layout.h"

#include <gtest/gtest.h>

namespace {

// Screen, outer box size, then the box's corner: half of each difference, an odd one
// rounded down, a negative one toward zero.
TEST(AboutBox, CentredByHalvingTheRoomTowardZero) {
  const struct {
    QSize screen, box;
    QPoint at;
  } cases[] = {
      {{1024, 768}, {318, 238}, {353, 265}},
      {{1024, 768}, {319, 239}, {352, 264}},
      {{100, 100}, {105, 103}, {-2, -1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dialogs::centredPosition(c.screen, c.box), c.at) << c.box.width();
  }
  EXPECT_EQ(dialogs::versionText(2, 15), "Version 2.15");
}

}  // namespace
