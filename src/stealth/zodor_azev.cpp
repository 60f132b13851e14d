#include "stealth/zodor_azev.h"

#include <cmath>
#include <limits>

namespace stealth {

namespace {

// A counter that would overflow keeps its value rather than wrapping negative.
void increment(std::int32_t& counter) noexcept {
  if (counter != std::numeric_limits<std::int32_t>::max()) {
    ++counter;
  }
}

double px(float twips) noexcept { return static_cast<double>(twips) / kTwipsPerPixel; }

}  // namespace

Action ZodorAzev::Tick(const TickInputs& in) noexcept {
  if (!in.buttonPressed) {
    return Action::None;
  }
  return in.windowVisible ? tickVisible(in) : tickHidden(in);
}

Action ZodorAzev::tickVisible(const TickInputs& in) noexcept {
  const double left = px(in.Left);
  const double top = px(in.Top);
  const double width = px(in.Width);
  const double height = px(in.Height);
  const auto x = static_cast<double>(in.cursorX);
  const auto y = static_cast<double>(in.cursorY);

  if (left + width > x && left < x && top + height > y && top < y) {
    m_state.blnEntered = true;
  }

  bool visible = true;
  Action action = Action::None;

  // Both edges are strict: a cursor exactly on the left or right boundary is neither
  // inside nor outside.
  if (width + left < x || left > x) {
    increment(m_state.lngOutsideX);
    if (m_state.lngOutsideX > kOutsideTicksAllowed) {
      if (m_state.blnEntered) {
        visible = false;
        action = Action::Hide;
      }
      m_state.lngOutsideX = 0;
    }
  } else {
    m_state.lngOutsideX = 0;
  }

  // Runs even when the horizontal test just hid the window, so its counter keeps moving;
  // only a second Hide in the same tick is held back.
  if (height + top < y || top > y) {
    increment(m_state.lngOutsideY);
    if (m_state.lngOutsideY > kOutsideTicksAllowed) {
      if (m_state.blnEntered && visible) {
        action = Action::Hide;
      }
      m_state.lngOutsideY = 0;
    }
  } else {
    m_state.lngOutsideY = 0;
  }
  return action;
}

Action ZodorAzev::tickHidden(const TickInputs& in) noexcept {
  // Compared in double so that no float-to-int conversion can overflow on odd sizes.
  const bool zoneX = std::floor(static_cast<double>(in.ScreenWidth) * kZoneFraction /
                                kTwipsPerPixel) <= static_cast<double>(in.cursorX);
  const bool zoneY = std::floor(static_cast<double>(in.ScreenHeight) * kZoneFraction /
                                kTwipsPerPixel) <= static_cast<double>(in.cursorY);
  if (zoneX && zoneY) {
    increment(m_state.lngZoneTicks);
    if (m_state.lngZoneTicks >= kZoneTicksToRestore) {
      // The zone counter stays: only a hidden tick outside the zone clears it.
      m_state.blnEntered = false;
      return Action::Restore;
    }
  } else {
    m_state.lngZoneTicks = 0;
  }
  return Action::None;
}

}  // namespace stealth
