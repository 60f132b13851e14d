// Random tick sequences through the AutoHide machine, with the window's visibility
// following its actions (and now and then changed behind its back). A second machine
// skips every tick while it is quiescent and its inputs are unchanged, as the window's
// timer does; it must act exactly like the one that ticks every time.
#include "stealth/auto_hide.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

void check(bool ok) {
  if (!ok) {
    std::abort();
  }
}

// Pixels; the far ones stay within what a QRect holds without overflowing.
int geometryValue(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(-200, 3000)
                          : in.ConsumeIntegralInRange<int>(-(1 << 29), 1 << 29);
}

QRect frameValue(FuzzedDataProvider& in) {
  const int left = geometryValue(in);
  const int top = geometryValue(in);
  const int width = geometryValue(in);
  return {left, top, width, geometryValue(in)};
}

QSize screenValue(FuzzedDataProvider& in) {
  const int width = geometryValue(in);
  return {width, geometryValue(in)};
}

std::int32_t cursorValue(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-50, 2100)
                          : in.ConsumeIntegral<std::int32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  stealth::AutoHide machine;
  stealth::AutoHide skipping;
  stealth::TickInputs lastSeen;
  bool quiet = false;
  bool visible = true;
  stealth::TickInputs tick;
  tick.frame = frameValue(in);
  tick.screen = screenValue(in);

  while (in.remaining_bytes() > 0) {
    const auto flags = in.ConsumeIntegral<std::uint8_t>();
    // A set top bit holds every input (the visibility still follows the actions), so
    // that runs of unchanged ticks occur.
    if ((flags & 0x80) == 0) {
      tick.buttonPressed = (flags & 1) == 0 || (flags & 2) == 0;  // mostly pressed
      if ((flags & 0x1c) == 0x1c) {
        visible = !visible;  // shown or hidden by someone else
      }
      if ((flags & 0x20) != 0) {  // the window moved, or the screen changed
        tick.frame = frameValue(in);
        if ((flags & 0x40) != 0) {
          tick.screen = screenValue(in);
        }
      }
      tick.cursorX = cursorValue(in);
      tick.cursorY = cursorValue(in);
    }
    tick.windowVisible = visible;

    const stealth::AutoHideState before = machine.state();
    const stealth::Action action = machine.tick(tick);
    const stealth::AutoHideState& after = machine.state();

    stealth::Action skipped = stealth::Action::None;
    if (!quiet || !(tick == lastSeen)) {
      skipped = skipping.tick(tick);
      quiet = skipped == stealth::Action::None && skipping.isQuiescent(tick);
      lastSeen = tick;
    }
    check(skipped == action);

    check(action == stealth::Action::None || action == stealth::Action::Hide ||
          action == stealth::Action::Restore);
    if (!tick.buttonPressed) {
      check(action == stealth::Action::None);
      check(after == before);
      continue;
    }
    check(after.outsideX >= 0 && after.outsideY >= 0 && after.zoneTicks >= 0);
    // An outside counter never stays above 1: passing it resets it.
    check(after.outsideX <= 1 && after.outsideY <= 1);
    if (action == stealth::Action::Hide) {
      check(visible && after.entered);
      visible = false;
    } else if (action == stealth::Action::Restore) {
      check(!visible && !after.entered);
      check(after.zoneTicks >= stealth::kZoneTicksToRestore);
      visible = true;
    }
    if (visible && action == stealth::Action::None) {
      check(after.zoneTicks == before.zoneTicks);  // visible ticks leave the zone alone
    }
    if (!tick.windowVisible) {
      // Hidden ticks touch nothing but the zone counter (and entered, on restore).
      check(after.outsideX == before.outsideX && after.outsideY == before.outsideY);
    }
  }
  return 0;
}
