#include "platform/win32/shell.h"

#include <windows.h>
// After <windows.h>, which they build on.
#include <shellapi.h>
#include <shlobj.h>

namespace pelorin::win32 {

void Win32Shell::Execute(const std::string& file, const std::string& parameters,
                         const std::string& directory, int show_command) {
  // Empty texts go as empty texts, not null. The result is ignored on
  // purpose: a file that cannot be started simply does nothing.
  ::ShellExecuteA(nullptr, nullptr, file.c_str(), parameters.c_str(), directory.c_str(),
                  show_command);
}

std::string UserAppDataFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  return path;
}

}  // namespace pelorin::win32
