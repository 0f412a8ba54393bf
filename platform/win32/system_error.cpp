#include "platform/win32/system_error.h"

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// The system's message for `code` in the user's language (UTF-8, so that a
// language outside the ANSI code page reads whole), without the line break
// and full stop it ends with; empty for a code it does not know.
std::string MessageOf(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = buffer != nullptr ? Narrow(std::wstring_view(buffer, length)) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

OsError SystemError(DWORD code, std::string_view operation, std::string subject) {
  return {static_cast<int>(code), operation, std::move(subject), MessageOf(code)};
}

OsError LastError(std::string_view operation, const std::string& subject) {
  const auto code = GetLastError();  // before anything else can change it
  return SystemError(code, operation, subject);
}

}  // namespace pelorin::win32
