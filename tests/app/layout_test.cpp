#include "app/keyboard.h"

#include <gtest/gtest.h>

using namespace app;

namespace {

TEST(Keyboard, OnlyCtrlAloneWithNOpensAWindow) {
  EXPECT_TRUE(isNewWindowKey(78, shiftState(Qt::ControlModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::ShiftModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::NoModifier)));
  EXPECT_FALSE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::AltModifier)));
  EXPECT_FALSE(isNewWindowKey(77, shiftState(Qt::ControlModifier)));
  // The keypad flag is not part of the shift state.
  EXPECT_TRUE(isNewWindowKey(78, shiftState(Qt::ControlModifier | Qt::KeypadModifier)));
}

}  // namespace
