#pragma once
#include "platform/clock.h"

namespace pelorin::posix {

// CLOCK_MONOTONIC in milliseconds.
class MonotonicClock final : public Clock {
 public:
  std::int64_t NowMs() const override;
};

}  // namespace pelorin::posix
