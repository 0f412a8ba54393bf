#pragma once
#include "platform/clock.h"

namespace pelorin::win32 {

// GetTickCount64: monotonic milliseconds since the system started.
class TickClock final : public Clock {
 public:
  std::int64_t NowMs() const override;
};

}  // namespace pelorin::win32
