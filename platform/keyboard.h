#pragma once
#include <cstdint>

namespace pelorin {

// Synthesised key events into the system input stream; they reach whatever
// window has the keyboard focus.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // One key event for virtual-key code `code`: down, or up when `up` is set.
  // Scan code 0, no extended-key flag, no extra information.
  virtual void KeyEvent(std::uint8_t code, bool up) = 0;
};

}  // namespace pelorin
