#pragma once
#include "platform/keyboard.h"

namespace pelorin::win32 {

// keybd_event into the system input stream.
class Win32Keyboard final : public Keyboard {
 public:
  void KeyEvent(std::uint8_t code, bool up) override;
};

}  // namespace pelorin::win32
