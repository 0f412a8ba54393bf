#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace pelorin::win32 {
namespace {

// Decodes `text` in `code_page`; empty when `flags` make the decoder refuse it.
std::wstring Decode(UINT code_page, DWORD flags, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int wide_length = ::MultiByteToWideChar(code_page, flags, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  ::MultiByteToWideChar(code_page, flags, text.data(), length, wide.data(), wide_length);
  return wide;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::wstring wide = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
  return wide.empty() ? Decode(CP_ACP, 0, utf8) : wide;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  const int length = static_cast<int>(utf16.size());
  const int utf8_length =
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  if (utf8_length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, utf8.data(), utf8_length, nullptr,
                        nullptr);
  return utf8;
}

}  // namespace pelorin::win32
