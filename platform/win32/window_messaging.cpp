#include "platform/win32/window_messaging.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

// The interface's method shares its name with a user32 macro.
#undef FindWindow

namespace pelorin::win32 {
namespace {

HWND ToHwnd(WindowId window) {
  return reinterpret_cast<HWND>(window);
}

}  // namespace

WindowId Win32WindowMessaging::FindWindow(std::string_view class_name, std::string_view caption) {
  if (class_name != sought_class_) {
    sought_class_ = class_name;
    sought_class_wide_ = Widen(class_name);
  }
  const std::wstring text = Widen(caption);
  HWND found = ::FindWindowW(sought_class_wide_.c_str(), caption.empty() ? nullptr : text.c_str());
  return reinterpret_cast<WindowId>(found);
}

std::intptr_t Win32WindowMessaging::Send(WindowId window, std::uint32_t message,
                                         std::uintptr_t wparam, std::intptr_t lparam) {
  if (window == kNoWindow) return 0;
  DWORD_PTR result = 0;
  // A receiver that is hung, or does not answer in time, reads as 0.
  // The messages exchanged carry numbers, never text, so the wide calls
  // reach an ANSI window (the player's) unchanged.
  if (!::SendMessageTimeoutW(ToHwnd(window), message, wparam, lparam,
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, send_timeout_ms_, &result)) {
    return 0;
  }
  return static_cast<std::intptr_t>(result);
}

std::intptr_t Win32WindowMessaging::SendAndWait(WindowId window, std::uint32_t message,
                                                std::uintptr_t wparam, std::intptr_t lparam) {
  if (window == kNoWindow) return 0;
  return ::SendMessageW(ToHwnd(window), message, wparam, lparam);
}

void Win32WindowMessaging::Post(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                                std::intptr_t lparam) {
  // A null window would post to this thread's own queue instead of nowhere.
  if (window == kNoWindow) return;
  // A full or vanished receiver loses the message; that is not reported.
  ::PostMessageW(ToHwnd(window), message, wparam, lparam);
}

void Win32WindowMessaging::SetForeground(WindowId window) {
  // Windows may refuse to change the foreground; the command goes on anyway.
  if (window != kNoWindow) ::SetForegroundWindow(ToHwnd(window));
}

void Win32WindowMessaging::AllowForeground(WindowId window) {
  if (window == kNoWindow) return;
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(ToHwnd(window), &process_id);
  // Refused when this program may not take the foreground either; the
  // window then shows without coming to the front.
  if (process_id != 0) ::AllowSetForegroundWindow(process_id);
}

}  // namespace pelorin::win32
