#pragma once
#include <memory>

#include "platform/keyboard.h"
#include "platform/linux/uinput_keyboard.h"
#include "platform/trace.h"

namespace pelorin::linux_os {

// Where the chooser looks for a way to send keys.
struct KeyboardPlaces {
  // The X display; null means the one $DISPLAY names.
  const char* display = nullptr;
  // The kernel's user-level input device.
  const char* uinput = kUinputPath;
};

// The keyboard the key commands use: XTest when the X display opens (keys
// reach X programs, and XWayland's), else a uinput keyboard when the device
// is writable (keys reach every program), else a keyboard that sends
// nothing. That last one says so on `notices` (the standard error stream in
// the program) the first time a key is sent, once, with the reasons; the
// trace gets the same line and which keyboard was chosen.
std::unique_ptr<Keyboard> ChooseKeyboard(const KeyboardPlaces& places, TraceSink& notices);

}  // namespace pelorin::linux_os
