#include "dialogs/about_layout.h"

#include <gtest/gtest.h>

using dialogs::centredPosition;
using dialogs::TwipsPoint;

TEST(AboutCentring, ExampleScreenAndBox) {
  // 1024x768 pixels is 15360 x 11520 twips.
  EXPECT_EQ(centredPosition(15360, 11520, 4770, 3570), (TwipsPoint{5295, 3975}));
}

TEST(AboutCentring, DifferenceRoundsHalvesToEvenThenQuotientTruncates) {
  EXPECT_EQ(centredPosition(100.5, 0, 0, 0).left, 50);                   // 100.5 -> 100 -> 50
  EXPECT_EQ(centredPosition(101.5, 0, 0, 0).left, 51);                   // 101.5 -> 102 -> 51
  EXPECT_EQ(centredPosition(0, 103.4, 0, 0).top, 51);                    // 103 -> 51 (truncated)
  EXPECT_EQ(centredPosition(0, 103.6, 0, 0).top, 52);                    // 104 -> 52
  EXPECT_EQ(centredPosition(100, 100, 105, 109), (TwipsPoint{-2, -4}));  // toward zero
  EXPECT_EQ(dialogs::roundHalfEven(-2.5), -2);
  EXPECT_EQ(dialogs::roundHalfEven(-3.5), -4);
}

TEST(AboutCentring, TwipsToPixels) {
  EXPECT_EQ(dialogs::twipsToPixels(5295), 353);
  EXPECT_EQ(dialogs::twipsToPixels(7), 0);
  EXPECT_EQ(dialogs::twipsToPixels(8), 1);
  EXPECT_EQ(dialogs::twipsToPixels(-8), -1);
}

TEST(AboutVersion, MajorDotMinorWithoutRevision) {
  EXPECT_EQ(dialogs::versionText(1, 0), QStringLiteral("Version 1.0"));
  EXPECT_EQ(dialogs::versionText(2, 15), QStringLiteral("Version 2.15"));
}
