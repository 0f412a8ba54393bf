#include "platform/win32/debug_output.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {

void DebugOutput::WriteLine(std::string_view line) {
  // The wide form, so that a path in any script reaches the debugger whole.
  std::wstring text = Widen(line);
  text += L"\r\n";
  OutputDebugStringW(text.c_str());
}

}  // namespace pelorin::win32
