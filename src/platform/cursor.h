#pragma once

#include <cstdint>

namespace platform {

// The pointer position in screen pixels, as the cursor interface hands it out.
struct CursorPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Reads the global pointer position (one X round trip). Returns false, leaving `out`
// alone, when there is no display to ask.
bool readPointer(CursorPoint& out);

}  // namespace platform
