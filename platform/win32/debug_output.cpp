#include "platform/win32/debug_output.h"

#include <windows.h>

#include <string>

namespace pelorin::win32 {

void DebugOutput::WriteLine(std::string_view line) {
  std::string text(line);
  text += "\r\n";
  OutputDebugStringA(text.c_str());
}

}  // namespace pelorin::win32
