#pragma once
#include <cstdint>

namespace pelorin {

// Flags of ExitWindows, with the values Windows gives them.
inline constexpr std::uint32_t kExitShutdown = 0x1;  // EWX_SHUTDOWN
inline constexpr std::uint32_t kExitReboot = 0x2;    // EWX_REBOOT
inline constexpr std::uint32_t kExitForce = 0x4;     // EWX_FORCE

// Ending the Windows session.
class Power {
 public:
  virtual ~Power() = default;
  // Asks Windows to end the session with `flags` (kExit*); the request runs
  // asynchronously and its result is ignored on purpose: a refused shut down
  // simply does not happen.
  virtual void EndSession(std::uint32_t flags) = 0;
  // Enables the shut-down privilege of this process (needed on NT-family
  // Windows before ExitWindows). Returns false when it could not be enabled.
  virtual bool EnableShutdownPrivilege() = 0;
};

}  // namespace pelorin
