#include "platform/win32/shell.h"

#include <windows.h>
// After <windows.h>, which it builds on.
#include <shellapi.h>

#include "platform/win32/com_apartment.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {

void Win32Shell::Execute(const std::string& file, const std::string& parameters,
                         const std::string& directory, int show_command) {
  // Empty texts go as empty texts, not null. With no verb the shell takes the
  // file's default one, "open" for a program, a document or a web address
  // (the user's default browser). The result is ignored on purpose: a file
  // that cannot be started simply does nothing.
  const std::wstring wide_file = Widen(file);
  const std::wstring wide_parameters = Widen(parameters);
  const std::wstring wide_directory = Widen(directory);
  // The shell may hand the start to an extension, which needs COM.
  EnsureComOnThisThread();
  ::ShellExecuteW(nullptr, nullptr, wide_file.c_str(), wide_parameters.c_str(),
                  wide_directory.c_str(), show_command);
}

}  // namespace pelorin::win32
