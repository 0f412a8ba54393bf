#pragma once
#include <cstdint>

namespace pelorin {

// The engine's only source of time. Every timing rule (double-click window,
// turbo repeats, holds) is decided from NowMs(), never from counting ticks and
// never by sleeping, so tests drive it in simulated time.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary fixed origin. Monotonic: never goes back,
  // unaffected by changes of the wall-clock time or daylight saving.
  virtual std::int64_t NowMs() const = 0;
};

}  // namespace pelorin
