#include "input/lost_port_watch.h"

namespace pelorin {

// The two channels are told apart by name only; both are watched alike.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
LostPortWatch::LostPortWatch(const Clock& clock, PortChannel& primary, PortChannel& secondary)
    : clock_(clock), primary_(primary), secondary_(secondary) {}

void LostPortWatch::OnCycle() {
  if (!primary_.IsLost() && !secondary_.IsLost()) {
    waiting_ = false;
    return;
  }
  const std::int64_t now = clock_.NowMs();
  if (!waiting_) {
    waiting_ = true;
    next_try_ms_ = now + kLostPortRetryMs;
    return;
  }
  if (now >= next_try_ms_) TryLostChannels(now);
}

void LostPortWatch::PortArrived() {
  waiting_ = true;
  next_try_ms_ = clock_.NowMs();
}

void LostPortWatch::TryLostChannels(std::int64_t now) {
  // Counted from this try, not from the schedule: cycles that came late
  // (a box was up, the machine slept) never add up to a burst of tries.
  next_try_ms_ = now + kLostPortRetryMs;
  primary_.Reopen();
  secondary_.Reopen();
}

std::string TrayTipText(ComPortNumber lost_primary, ComPortNumber lost_secondary) {
  std::string program = "Pelorin";
  auto name = [](ComPortNumber port) { return "COM" + std::to_string(port.value); };
  if (lost_primary.value != 0 && lost_secondary.value != 0) {
    return program + " - " + name(lost_primary) + " and " + name(lost_secondary) +
           " lost, waiting for them";
  }
  if (lost_primary.value == 0 && lost_secondary.value == 0) return program;
  const ComPortNumber lost = lost_primary.value != 0 ? lost_primary : lost_secondary;
  return program + " - " + name(lost) + " lost, waiting for it";
}

}  // namespace pelorin
