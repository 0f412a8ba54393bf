#pragma once
#include <cstdint>

#include "platform/keyboard.h"

namespace pelorin::win32 {

// True for the keys whose scan code carries the 0xE0 prefix on a PC
// keyboard: the navigation block, the arrows, keypad divide, Num Lock,
// Print Screen, the right Ctrl and Alt, the Windows and application keys,
// and the browser, volume, media and launch keys.
bool IsExtendedKey(std::uint8_t code);

// SendInput into the system input stream, one event per call, each carrying
// the key's scan code for the current keyboard layout and the extended-key
// flag where the key is an extended one: programs that read scan codes
// (games, remote desktops) then see the arrows as arrows, not as their
// keypad twins.
class Win32Keyboard final : public Keyboard {
 public:
  void KeyEvent(std::uint8_t code, bool up) override;
};

}  // namespace pelorin::win32
