#include "engine/button_state.h"

#include <algorithm>

namespace pelorin {
namespace {

constexpr int kMinDblClickSpeed = 1;
constexpr int kMaxDblClickSpeed = 10;
constexpr std::int64_t kMsPerDblClickStep = 100;
constexpr int kMinTurboCps = 1;
constexpr int kMaxTurboCps = 100;
constexpr std::int64_t kMsPerSecond = 1000;

}  // namespace

std::int64_t DoubleClickWindowMs(int dbl_click_speed) {
  return std::clamp(dbl_click_speed, kMinDblClickSpeed, kMaxDblClickSpeed) * kMsPerDblClickStep;
}

void RecognizeEvents(ButtonState& state, const Clock& clock, std::int64_t window_ms) {
  state.pressed = !state.previous_level && state.current_level;
  state.released = state.previous_level && !state.current_level;
  if (state.pressed) {
    if (!state.window_open) {
      // The window opens at the press.
      state.window_open = true;
      state.deadline_ms = clock.NowMs() + window_ms;
    } else {
      state.window_open = false;
      state.double_click = true;
    }
  }
  if (state.window_open && clock.NowMs() > state.deadline_ms) {
    state.window_open = false;
    state.window_ended = true;
  }
}

void StartTurbo(ButtonState& state, std::int64_t now_ms) {
  state.turbo_active = true;
  state.turbo_start_ms = now_ms;
  state.turbo_count = 0;
}

std::int64_t TurboRepeatsDue(ButtonState& state, std::int64_t now_ms, int turbo_cps) {
  const std::int64_t cps = std::clamp(turbo_cps, kMinTurboCps, kMaxTurboCps);
  const std::int64_t elapsed = now_ms - state.turbo_start_ms;
  // Integer milliseconds keep the count exact: no rounding drift over a long hold.
  const std::int64_t target = elapsed < 0 ? 0 : elapsed * cps / kMsPerSecond + 1;
  if (state.turbo_count > target) {
    // The speed was turned down while the repeat runs. Rather than fall
    // silent until the old count is due again at the new speed (minutes, for
    // a long hold), go on at the new speed from now.
    state.turbo_start_ms = now_ms;
    state.turbo_count = 1;
    return 0;
  }
  const std::int64_t due = target - state.turbo_count;
  if (due <= 0) return 0;
  if (due > cps) {
    // Skip what a stall left behind; only the last second's worth is sent.
    state.turbo_count = target - cps;
    return cps;
  }
  return due;
}

}  // namespace pelorin
