#pragma once
#include <cstdint>
#include <string>

#include "input/port_channel.h"
#include "platform/clock.h"

namespace pelorin {

// How long a lost port waits between two tries to open it again. An open of
// a missing port costs the system one failed device lookup, so a second
// keeps a returning adapter quick without a cost anyone could measure.
inline constexpr std::int64_t kLostPortRetryMs = 1000;

// Brings lost ports back (see PortChannel): tries each lost channel again
// about once a second on the program's clock, and at once when the system
// announces that a port arrived. A try is one silent open: no box, whatever
// happens. The schedule does not grow: a port away for hours costs what it
// costs in its first minute.
class LostPortWatch {
 public:
  LostPortWatch(const Clock& clock, PortChannel& primary, PortChannel& secondary);

  // Once per poll cycle, after the lines were read: a loss noticed now
  // waits one interval before the first try (the device that just failed
  // is most likely still on its way out); afterwards each channel still
  // lost is tried once per interval.
  void OnCycle();
  // The system announced a new port: every lost channel is tried at the
  // next cycle instead of at its periodic try. Nothing is opened here, so
  // that the system's announcement is answered at once.
  void PortArrived();

 private:
  void TryLostChannels(std::int64_t now);

  const Clock& clock_;
  PortChannel& primary_;
  PortChannel& secondary_;
  bool waiting_ = false;  // a channel is lost and the next try is scheduled
  std::int64_t next_try_ms_ = 0;
};

// The tray tip: "Pelorin" while no port is lost, otherwise the lost ports
// ("Pelorin - COM5 lost, waiting for it"). A port number of 0 is no loss.
std::string TrayTipText(ComPortNumber lost_primary, ComPortNumber lost_secondary);

}  // namespace pelorin
