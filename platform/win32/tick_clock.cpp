#include "platform/win32/tick_clock.h"

#include <windows.h>

namespace pelorin::win32 {

std::int64_t TickClock::NowMs() const { return static_cast<std::int64_t>(GetTickCount64()); }

}  // namespace pelorin::win32
