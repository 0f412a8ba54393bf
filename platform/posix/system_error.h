#pragma once
#include <string>
#include <string_view>

#include "platform/os_error.h"

namespace pelorin::posix {

// The error number `code` with the system's words for it.
OsError SystemError(int code, std::string_view operation, std::string subject);

// errno as an OsError. Call it right after the failing call, before any
// clean-up call can change errno.
OsError LastError(std::string_view operation, const std::string& subject);

}  // namespace pelorin::posix
