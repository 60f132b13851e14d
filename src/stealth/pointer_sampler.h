#pragma once

#include "platform/cursor.h"

#include <chrono>
#include <cstdint>

namespace stealth {

// The pointer position in screen pixels, as each browser window's auto-hide reads it.
//
// Reading the pointer is an X round trip, and every window woken by the same motion
// ticks in the same turn of the event loop, so readings are shared: sample() takes the
// process-wide reading when it is younger than one tick and this sampler has not used it
// yet, and asks the server otherwise. A single window thus still gets a fresh reading on
// every tick, while windows ticking together share one.
class PointerSampler {
 public:
  // How long a reading may be shared between windows.
  static constexpr std::chrono::microseconds kShareWindow{1000};

  // Takes this tick's reading into x()/y(). False when the pointer could not be read;
  // the previous values stay.
  bool sample() noexcept;

  [[nodiscard]] std::int32_t x() const noexcept { return m_pos.x; }
  [[nodiscard]] std::int32_t y() const noexcept { return m_pos.y; }

 private:
  platform::CursorPoint m_pos;
  std::uint64_t m_lastSerial = 0;
};

}  // namespace stealth
