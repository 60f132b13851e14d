#include "stealth/auto_hide.h"

#include <algorithm>
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

// Where the cursor stands against the window, with the comparisons the tick makes.
struct Placement {
  bool inside = false;
  bool outsideX = false;
  bool outsideY = false;
};

Placement placement(const TickInputs& in) noexcept {
  // In double: the sums cannot overflow.
  const auto left = static_cast<double>(in.frame.x());
  const auto top = static_cast<double>(in.frame.y());
  const auto width = static_cast<double>(in.frame.width());
  const auto height = static_cast<double>(in.frame.height());
  const auto x = static_cast<double>(in.cursorX);
  const auto y = static_cast<double>(in.cursorY);
  Placement p;
  p.inside = left + width > x && left < x && top + height > y && top < y;
  // Both edges are strict: a cursor exactly on the left or right boundary is neither
  // inside nor outside.
  p.outsideX = width + left < x || left > x;
  p.outsideY = height + top < y || top > y;
  return p;
}

// The zone's left or top edge: the first whole pixel at or past the fraction.
double zoneEdge(int screenSize) noexcept {
  return std::floor(static_cast<double>(screenSize) * kZoneFraction);
}

bool inZone(const TickInputs& in) noexcept {
  return zoneEdge(in.screen.width()) <= static_cast<double>(in.cursorX) &&
         zoneEdge(in.screen.height()) <= static_cast<double>(in.cursorY);
}

}  // namespace

Action AutoHide::tick(const TickInputs& in) noexcept {
  if (!in.buttonPressed) {
    return Action::None;
  }
  return in.windowVisible ? tickVisible(in) : tickHidden(in);
}

bool AutoHide::isQuiescent(const TickInputs& in) const noexcept {
  if (!in.buttonPressed) {
    return true;
  }
  if (!in.windowVisible) {
    // In the zone the count runs on to a restore; outside it stays at zero.
    return !inZone(in) && m_state.zoneTicks == 0;
  }
  const Placement p = placement(in);
  if (p.outsideX || p.outsideY) {
    // Not entered, leaving cannot hide, and the counters may keep flipping: their values
    // do not matter, since the tick that enters has the cursor inside and clears both.
    return !m_state.entered;
  }
  // Inside or on a boundary: nothing left to count or to note.
  return m_state.outsideX == 0 && m_state.outsideY == 0 && (m_state.entered || !p.inside);
}

double AutoHide::quietDistance(const TickInputs& in) const noexcept {
  if (!in.buttonPressed) {
    return std::numeric_limits<double>::infinity();
  }
  if (!isQuiescent(in) || (in.windowVisible && m_state.entered)) {
    return 0;
  }
  const auto x = static_cast<double>(in.cursorX);
  const auto y = static_cast<double>(in.cursorY);
  if (!in.windowVisible) {
    return std::hypot(std::max(0.0, zoneEdge(in.screen.width()) - x),
                      std::max(0.0, zoneEdge(in.screen.height()) - y));
  }
  // Every point strictly inside lies at least this far from the closed rectangle's
  // nearest point; the outside counters that flip meanwhile are cleared by the entry.
  const auto left = static_cast<double>(in.frame.x());
  const auto top = static_cast<double>(in.frame.y());
  const double right = left + in.frame.width();
  const double bottom = top + in.frame.height();
  return std::hypot(std::max({0.0, left - x, x - right}), std::max({0.0, top - y, y - bottom}));
}

Action AutoHide::tickVisible(const TickInputs& in) noexcept {
  const Placement p = placement(in);
  if (p.inside) {
    m_state.entered = true;
  }

  bool visible = true;
  Action action = Action::None;

  if (p.outsideX) {
    increment(m_state.outsideX);
    if (m_state.outsideX > kOutsideTicksAllowed) {
      if (m_state.entered) {
        visible = false;
        action = Action::Hide;
      }
      m_state.outsideX = 0;
    }
  } else {
    m_state.outsideX = 0;
  }

  // Runs even when the horizontal test just hid the window, so its counter keeps moving;
  // only a second Hide in the same tick is held back.
  if (p.outsideY) {
    increment(m_state.outsideY);
    if (m_state.outsideY > kOutsideTicksAllowed) {
      if (m_state.entered && visible) {
        action = Action::Hide;
      }
      m_state.outsideY = 0;
    }
  } else {
    m_state.outsideY = 0;
  }
  return action;
}

Action AutoHide::tickHidden(const TickInputs& in) noexcept {
  if (inZone(in)) {
    increment(m_state.zoneTicks);
    if (m_state.zoneTicks >= kZoneTicksToRestore) {
      // The zone counter stays: only a hidden tick outside the zone clears it.
      m_state.entered = false;
      return Action::Restore;
    }
  } else {
    m_state.zoneTicks = 0;
  }
  return Action::None;
}

}  // namespace stealth
