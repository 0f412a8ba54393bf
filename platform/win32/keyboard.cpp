#include "platform/win32/keyboard.h"

#include <windows.h>

namespace pelorin::win32 {

bool IsExtendedKey(std::uint8_t code) {
  switch (code) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SNAPSHOT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
      return true;
    default:
      // VK_BROWSER_BACK to VK_LAUNCH_APP2: browser, volume, media and
      // launch keys, all sent with the 0xE0 prefix.
      return code >= VK_BROWSER_BACK && code <= VK_LAUNCH_APP2;
  }
}

void Win32Keyboard::KeyEvent(std::uint8_t code, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = code;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(code) ? KEYEVENTF_EXTENDEDKEY : 0);
  // Refused input (a window of higher integrity has the focus, or the
  // desktop is locked) is dropped, as a key pressed then would be.
  SendInput(1, &input, sizeof(INPUT));
}

}  // namespace pelorin::win32
