#pragma once
#include <cstdint>

namespace pelorin {

// A top-level window of this or another process, as an opaque value so that no
// window handle type crosses the platform seam. Zero means "no window".
using WindowId = std::uintptr_t;
inline constexpr WindowId kNoWindow = 0;

}  // namespace pelorin
