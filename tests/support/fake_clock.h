#pragma once
#include "platform/clock.h"

namespace pelorin::testing {

// Simulated time: stands still until a test advances it.
class FakeClock final : public Clock {
 public:
  std::int64_t NowMs() const override { return now_ms_; }
  void Advance(std::int64_t ms) { now_ms_ += ms; }
  void Set(std::int64_t ms) { now_ms_ = ms; }

 private:
  std::int64_t now_ms_ = 1'000'000;  // well away from zero, as a real tick count is
};

}  // namespace pelorin::testing
