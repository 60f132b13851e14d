#include "stealth/zodor_azev.h"

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

double px(float value) noexcept { return twips::toPixelsExact(value); }

// Where the cursor stands against the window, with the comparisons the tick makes.
struct Placement {
  bool inside = false;
  bool outsideX = false;
  bool outsideY = false;
};

Placement placement(const TickInputs& in) noexcept {
  const double left = px(in.Left);
  const double top = px(in.Top);
  const double width = px(in.Width);
  const double height = px(in.Height);
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

// The zone's left and top edges, in pixels. Compared in double so that no float-to-int
// conversion can overflow on odd sizes.
double zoneEdge(float screenSize) noexcept {
  return std::floor(twips::toPixelsExact(static_cast<double>(screenSize) * kZoneFraction));
}

bool inZone(const TickInputs& in) noexcept {
  return zoneEdge(in.ScreenWidth) <= static_cast<double>(in.cursorX) &&
         zoneEdge(in.ScreenHeight) <= static_cast<double>(in.cursorY);
}

}  // namespace

Action ZodorAzev::Tick(const TickInputs& in) noexcept {
  if (!in.buttonPressed) {
    return Action::None;
  }
  return in.windowVisible ? tickVisible(in) : tickHidden(in);
}

bool ZodorAzev::Quiescent(const TickInputs& in) const noexcept {
  if (!in.buttonPressed) {
    return true;
  }
  if (!in.windowVisible) {
    // In the zone the count runs on to a restore; outside it stays at zero.
    return !inZone(in) && m_state.lngZoneTicks == 0;
  }
  const Placement p = placement(in);
  if (p.outsideX || p.outsideY) {
    // Not entered, leaving cannot hide, and the counters may keep flipping: their values
    // do not matter, since the tick that enters has the cursor inside and clears both.
    return !m_state.blnEntered;
  }
  // Inside or on a boundary: nothing left to count or to note.
  return m_state.lngOutsideX == 0 && m_state.lngOutsideY == 0 && (m_state.blnEntered || !p.inside);
}

double ZodorAzev::quietDistance(const TickInputs& in) const noexcept {
  if (!in.buttonPressed) {
    return std::numeric_limits<double>::infinity();
  }
  if (!Quiescent(in) || (in.windowVisible && m_state.blnEntered)) {
    return 0;
  }
  const auto x = static_cast<double>(in.cursorX);
  const auto y = static_cast<double>(in.cursorY);
  if (!in.windowVisible) {
    return std::hypot(std::max(0.0, zoneEdge(in.ScreenWidth) - x),
                      std::max(0.0, zoneEdge(in.ScreenHeight) - y));
  }
  // Every point strictly inside lies at least this far from the closed rectangle's
  // nearest point; the outside counters that flip meanwhile are cleared by the entry.
  const double left = px(in.Left);
  const double top = px(in.Top);
  const double right = left + px(in.Width);
  const double bottom = top + px(in.Height);
  return std::hypot(std::max({0.0, left - x, x - right}), std::max({0.0, top - y, y - bottom}));
}

Action ZodorAzev::tickVisible(const TickInputs& in) noexcept {
  const Placement p = placement(in);
  if (p.inside) {
    m_state.blnEntered = true;
  }

  bool visible = true;
  Action action = Action::None;

  if (p.outsideX) {
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
  if (p.outsideY) {
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
  if (inZone(in)) {
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
