#pragma once
#include <cstdint>

namespace pelorin {

// Flags of ExitWindowsEx, with the values Windows gives them.
inline constexpr std::uint32_t kExitReboot = 0x2;    // EWX_REBOOT
inline constexpr std::uint32_t kExitPowerOff = 0x8;  // EWX_POWEROFF: shut down, then power off
// Ends programs that do not answer the end of the session in time, while
// those that do may still ask to save their work (unlike EWX_FORCE, which
// ends every program at once and loses what they had not saved).
inline constexpr std::uint32_t kExitForceIfHung = 0x10;  // EWX_FORCEIFHUNG

// Ending the Windows session.
class Power {
 public:
  virtual ~Power() = default;
  // Asks Windows to end the session with `flags` (kExit*), recorded in the
  // system's event log as a planned shut down ("Other (Planned)"). The request
  // runs asynchronously and its result is ignored on purpose: a refused shut
  // down simply does not happen.
  virtual void EndSession(std::uint32_t flags) = 0;
  // Enables the shut-down privilege of this process (needed on NT-family
  // Windows before ExitWindowsEx). Returns false when it could not be enabled.
  virtual bool EnableShutdownPrivilege() = 0;
};

}  // namespace pelorin
