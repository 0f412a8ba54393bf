#include "platform/win32/keyboard.h"

#include <windows.h>

namespace pelorin::win32 {

void Win32Keyboard::KeyEvent(std::uint8_t code, bool up) {
  ::keybd_event(code, 0, up ? KEYEVENTF_KEYUP : 0, 0);
}

}  // namespace pelorin::win32
