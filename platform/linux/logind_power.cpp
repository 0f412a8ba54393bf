#include "platform/linux/logind_power.h"

#include <string>

#include "platform/linux/bus.h"
#include "platform/trace.h"

namespace pelorin::linux_os {
namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kManagerInterface = "org.freedesktop.login1.Manager";
// "auto" is the caller's own session, or the user's graphical session when
// the caller runs outside any session.
constexpr const char* kOwnSessionPath = "/org/freedesktop/login1/session/auto";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";

// Lets the power-off or reboot pass over every inhibitor lock.
constexpr std::uint64_t kSkipInhibitors = std::uint64_t{1} << 4;

bool IsUnknownFlagOrMethod(const OsError& error) {
  // logind before 248 lacks the *WithFlags methods; before 256 it refuses
  // flags it does not know with InvalidArgs.
  for (const std::string_view name :
       {"org.freedesktop.DBus.Error.UnknownMethod", "org.freedesktop.DBus.Error.InvalidArgs"}) {
    if (error.text.starts_with(name)) return true;
  }
  return false;
}

// Powers off or reboots (`method` is "PowerOff" or "Reboot").
OsStatus EndMachine(dbus::Bus& bus, const std::string& method, bool skip_inhibitors) {
  const dbus::Address manager{kLogind, kManagerPath, kManagerInterface};
  if (skip_inhibitors) {
    OsStatus forced = bus.Call(manager, method + "WithFlags", {dbus::Unsigned64{kSkipInhibitors}});
    if (forced || !IsUnknownFlagOrMethod(forced.error())) return forced;
  }
  // Not interactive: a password prompt would wait for a user who pressed a
  // button on a box, not at a screen.
  return bus.Call(manager, method, {dbus::Boolean{false}});
}

}  // namespace

LogindPower::LogindPower(std::chrono::milliseconds time_limit) : time_limit_(time_limit) {}

void LogindPower::EndSession(std::uint32_t flags) {
  auto bus = dbus::Bus::OpenSystem(time_limit_);
  if (!bus) {
    Trace("Cannot end the session: " + Describe(bus.error()));
    return;
  }
  const bool forced = (flags & kExitForceIfHung) != 0;
  OsStatus status;
  if ((flags & kExitPowerOff) != 0) {
    status = EndMachine(*bus, "PowerOff", forced);
  } else if ((flags & kExitReboot) != 0) {
    status = EndMachine(*bus, "Reboot", forced);
  } else {
    status = bus->Call({kLogind, kOwnSessionPath, kSessionInterface}, "Terminate");
  }
  // Refused or failed, nothing more happens: the trace says why.
  if (!status) Trace("logind refused to end the session: " + Describe(status.error()));
}

}  // namespace pelorin::linux_os
