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

}  // namespace pelorin::win32
