#include "stealth/pointer_sampler.h"

namespace stealth {

namespace {

using Clock = std::chrono::steady_clock;

// The last reading of the process; one user-interface thread, so no locking.
struct SharedReading {
  platform::CursorPoint pos;
  Clock::time_point at;
  std::uint64_t serial = 0;  // 0: no reading yet
};

SharedReading sharedReading;

}  // namespace

bool PointerSampler::sample() noexcept {
  const Clock::time_point now = Clock::now();
  const bool shareable = sharedReading.serial != 0 && sharedReading.serial != m_lastSerial &&
                         now - sharedReading.at < kShareWindow;
  if (!shareable) {
    platform::CursorPoint fresh;
    if (!platform::readPointer(fresh)) {
      return false;
    }
    static std::uint64_t serials = 0;
    sharedReading.pos = fresh;
    sharedReading.at = now;
    sharedReading.serial = ++serials;
  }
  m_pos = sharedReading.pos;
  m_lastSerial = sharedReading.serial;
  return true;
}

}  // namespace stealth
