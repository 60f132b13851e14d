#include "stealth/cursor_ctrl.h"

namespace stealth {

namespace {

using Clock = std::chrono::steady_clock;

// The last reading of the process; one user-interface thread, so no locking.
struct SharedReading {
  platform::CursorPoint pos;
  Clock::time_point at;
  std::uint64_t serial = 0;  // 0: no reading yet
};

SharedReading g_reading;

void invalidateShared() { g_reading.serial = 0; }

}  // namespace

bool CursorCtrl::sample() noexcept {
  const Clock::time_point now = Clock::now();
  const bool shareable = g_reading.serial != 0 && g_reading.serial != m_lastSerial &&
                         now - g_reading.at < kShareWindow;
  if (!shareable) {
    platform::CursorPoint fresh;
    if (!platform::GetCursorPos(fresh)) {
      return false;
    }
    static std::uint64_t serials = 0;
    g_reading.pos = fresh;
    g_reading.at = now;
    g_reading.serial = ++serials;
  }
  m_pos = g_reading.pos;
  m_lastSerial = g_reading.serial;
  return true;
}

void CursorCtrl::setMouseX(std::int32_t value) {
  platform::CursorPoint current;
  if (platform::GetCursorPos(current)) {
    platform::SetCursorPos(value, current.y);
    invalidateShared();
  }
}

void CursorCtrl::setMouseY(std::int32_t value) {
  platform::CursorPoint current;
  if (platform::GetCursorPos(current)) {
    platform::SetCursorPos(current.x, value);
    invalidateShared();
  }
}

}  // namespace stealth
