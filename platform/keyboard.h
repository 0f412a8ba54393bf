#pragma once
#include <cstdint>

namespace pelorin {

// Synthesised key events into the system input stream; they reach whatever
// window has the keyboard focus.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // One key event for virtual-key code `code`: down, or up when `up` is set.
  // The event carries the key's scan code and, for the extended keys (arrows,
  // navigation block, Windows keys, media keys...), the extended-key flag,
  // as a real keyboard sends them; no extra information.
  virtual void KeyEvent(std::uint8_t code, bool up) = 0;
};

}  // namespace pelorin
