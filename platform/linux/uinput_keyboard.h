#pragma once
#include <cstdint>
#include <memory>

#include "platform/keyboard.h"
#include "platform/os_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::linux_os {

// Where the kernel's user-level input device lives.
inline constexpr const char* kUinputPath = "/dev/uinput";

// Key events through a virtual keyboard of the kernel (uinput), so that they
// reach X, Wayland compositors and the console alike. Needs write access to
// the uinput device, which normal users have only where a udev rule grants
// it.
class UinputKeyboard final : public Keyboard {
 public:
  // Opens `path` (normally kUinputPath) and creates a virtual keyboard with
  // every key a virtual-key code can name (letters, digits, F1-F24, the
  // navigation block, the keypad, modifiers, punctuation of a US layout, the
  // media, volume, browser and launch keys). Fails with operation "open" (and errno) when
  // the device is missing or not writable, "create uinput device" (and
  // errno) when the kernel refuses the device. A desktop
  // takes a moment to adopt a new input device: events sent right after the
  // open may be lost, so open it at start-up, not per key.
  static Opened<UinputKeyboard> Open(const char* path);

  ~UinputKeyboard() override;
  UinputKeyboard(const UinputKeyboard&) = delete;
  UinputKeyboard& operator=(const UinputKeyboard&) = delete;

  // Sends the event and a synchronisation report, so that it is delivered
  // at once. A code without an evdev key sends nothing.
  void KeyEvent(std::uint8_t code, bool up) override;

 private:
  explicit UinputKeyboard(posix::UniqueFd fd);

  // The descriptor the device was made on; the device goes with it.
  posix::UniqueFd fd_;
};

}  // namespace pelorin::linux_os
