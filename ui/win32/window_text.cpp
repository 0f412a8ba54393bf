#include "ui/win32/window_text.h"

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {

std::string WindowText(HWND hwnd) {
  // The length may be an overestimate (it may count a double-byte text's
  // bytes); the copy's own count is what holds.
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

bool SetWindowTextUtf8(HWND hwnd, std::string_view text) {
  return SetWindowTextW(hwnd, Widen(text).c_str()) != FALSE;
}

SIZE TextExtent(HDC dc, std::string_view text) {
  const std::wstring wide = Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

}  // namespace pelorin::win32
