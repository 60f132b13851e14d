#include "app/keyboard.h"

namespace app {

int shiftState(Qt::KeyboardModifiers modifiers) {
  int state = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) {
    state |= kShiftMask;
  }
  if (modifiers.testFlag(Qt::ControlModifier)) {
    state |= kCtrlMask;
  }
  if (modifiers.testFlag(Qt::AltModifier)) {
    state |= kAltMask;
  }
  return state;
}

}  // namespace app
