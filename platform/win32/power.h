#pragma once
#include "platform/power.h"

namespace pelorin::win32 {

// ExitWindowsEx and the process's shut-down privilege.
class Win32Power final : public Power {
 public:
  void EndSession(std::uint32_t flags) override;
  bool EnableShutdownPrivilege() override;
};

}  // namespace pelorin::win32
