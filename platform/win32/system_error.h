#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/os_error.h"

namespace pelorin::win32 {

// The error `code` (a system error code, or the status a registry call
// returns) with the system's own words for it.
OsError SystemError(DWORD code, std::string_view operation, std::string subject);

// GetLastError() as an OsError. Call it right after the failing call, before
// any clean-up call can change the last error.
OsError LastError(std::string_view operation, const std::string& subject);

}  // namespace pelorin::win32
