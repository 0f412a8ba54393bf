#pragma once
#include <string>

#include "platform/shell.h"

namespace pelorin::win32 {

// ShellExecuteW, with UTF-8 texts converted at the call.
class Win32Shell final : public Shell {
 public:
  void Execute(const std::string& file, const std::string& parameters, const std::string& directory,
               int show_command) override;
};

// The current user's application-data folder (where players that keep their
// settings per user have theirs), or "" when Windows does not say.
std::string UserAppDataFolder();

}  // namespace pelorin::win32
