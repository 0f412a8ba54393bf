#pragma once
#include <chrono>
#include <cstdint>

#include "platform/power.h"

namespace pelorin::linux_os {

// Ends the session or the machine through systemd-logind on the system bus
// (DBUS_SYSTEM_BUS_ADDRESS when set). Never asks the user for a password:
// an action the system's policy does not grant this user outright is
// refused, and the refusal goes to the trace.
//
// - kExitPowerOff powers the machine off, kExitReboot restarts it. Programs
//   holding a blocking inhibitor lock (a disc burner, an update) stop it,
//   and those with a delay lock get their time first.
// - With kExitForceIfHung as well, those locks are passed over (logind 256
//   and newer); an older logind, which does not know the flag, is asked
//   again without it.
// - Neither (log off): this user's session ends. That is the session this
//   program runs in, or, for a program outside any session (a user service),
//   the user's graphical session.
//
// Each request opens its own connection: the requests are rare, and a
// connection kept for them would only go stale.
class LogindPower final : public Power {
 public:
  explicit LogindPower(std::chrono::milliseconds time_limit = std::chrono::seconds(5));

  void EndSession(std::uint32_t flags) override;
  // Nothing to enable on Linux: logind decides at the request.
  bool EnableShutdownPrivilege() override { return true; }

 private:
  std::chrono::milliseconds time_limit_;
};

}  // namespace pelorin::linux_os
