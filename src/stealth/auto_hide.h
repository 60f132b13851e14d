#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <utility>

namespace stealth {

// Fraction of the screen's width and height where the restore zone begins.
inline constexpr double kZoneFraction = 0.8;
// An outside counter must exceed this before the window hides (second tick outside).
inline constexpr std::int32_t kOutsideTicksAllowed = 1;
// The window comes back on the tick on which the zone counter reaches this.
inline constexpr std::int32_t kZoneTicksToRestore = 11;

// What one tick sees, in pixels as the window system reports them.
struct TickInputs {
  bool buttonPressed = false;
  bool windowVisible = false;
  QRect frame;  // the window's outer rectangle, title bar and borders included
  QSize screen;
  std::int32_t cursorX = 0;
  std::int32_t cursorY = 0;

  friend bool operator==(const TickInputs&, const TickInputs&) = default;
};

enum class Action : std::uint8_t { None, Hide, Restore };

// The per-window memory of the controller; all zero, false and empty for a new window.
struct AutoHideState {
  std::int32_t outsideX = 0;
  std::int32_t outsideY = 0;
  bool entered = false;
  QString hiddenCaption;
  std::int32_t zoneTicks = 0;

  friend bool operator==(const AutoHideState&, const AutoHideState&) = default;
};

// The AutoHide decision of one window: one tick in, at most one action out. It keeps
// the counters and the entered flag; the caption is stored by whoever carries out Hide.
class AutoHide {
 public:
  AutoHide() = default;
  explicit AutoHide(AutoHideState state) : m_state(std::move(state)) {}

  // Decides one tick. Restore already leaves the machine not entered; the caller makes
  // the window visible or invisible as the action says.
  Action tick(const TickInputs& in) noexcept;

  // True when a tick with these inputs would change nothing and act on nothing, and so
  // would every later one while the inputs stay as they are: the caller may stop
  // ticking until an input changes. From any state, unchanged inputs (visibility
  // following the actions) reach this within thirteen ticks: two to hide with the
  // cursor in the zone, eleven to come back.
  [[nodiscard]] bool isQuiescent(const TickInputs& in) const noexcept;

  // How far, in pixels, the cursor can wander from where `in` has it, ticked anywhere on
  // the way, with no tick acting, entering or counting towards a restore: the distance
  // to the restore zone while hidden, to the window's inside while it was never entered.
  // Zero unless quiescent, and for an entered window, which hides however the cursor
  // gets out; infinite with the button up.
  [[nodiscard]] double quietDistance(const TickInputs& in) const noexcept;

  [[nodiscard]] const AutoHideState& state() const noexcept { return m_state; }
  void setHiddenCaption(const QString& caption) { m_state.hiddenCaption = caption; }

 private:
  Action tickVisible(const TickInputs& in) noexcept;
  Action tickHidden(const TickInputs& in) noexcept;

  AutoHideState m_state;
};

}  // namespace stealth
