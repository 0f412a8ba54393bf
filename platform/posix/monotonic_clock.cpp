#include "platform/posix/monotonic_clock.h"

#include <time.h>

namespace pelorin::posix {

std::int64_t MonotonicClock::NowMs() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace pelorin::posix
