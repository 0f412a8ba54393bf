#pragma once
#include "platform/power.h"

namespace pelorin::win32 {

// ExitWindowsEx and the process's shut-down privilege.
class Win32Power final : public Power {
 public:
  void EndSession(std::uint32_t flags) override;
  bool EnableShutdownPrivilege() override;
};

// Whether this process runs with an elevated (administrator) token: started
// through "Run as administrator" or a UAC prompt, or by an administrator with
// UAC turned off. False when the token cannot be asked.
bool ProcessRunsElevated();

}  // namespace pelorin::win32
