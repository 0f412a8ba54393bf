#include "platform/linux/keyboard_choice.h"

#include <string>
#include <utility>

#include "platform/linux/xtest_keyboard.h"

namespace pelorin::linux_os {
namespace {

// Sends nothing; tells why the first time a key is asked for, since only
// then does the missing keyboard cost the user anything.
class SilentKeyboard final : public Keyboard {
 public:
  SilentKeyboard(TraceSink& notices, std::string reasons)
      : notices_(notices), reasons_(std::move(reasons)) {}

  void KeyEvent(std::uint8_t /*code*/, bool /*up*/) override {
    if (told_) return;
    told_ = true;
    const std::string line = "Key commands do nothing: " + reasons_;
    notices_.WriteLine(line);
    Trace(line);
  }

 private:
  TraceSink& notices_;
  std::string reasons_;
  bool told_ = false;
};

}  // namespace

std::unique_ptr<Keyboard> ChooseKeyboard(const KeyboardPlaces& places, TraceSink& notices) {
  auto x_keyboard = XTestKeyboard::Open(places.display);
  if (x_keyboard) {
    Trace("Keys go to X display " + x_keyboard->display_name() + " through XTest");
    return x_keyboard.Release();
  }
  auto uinput_keyboard = UinputKeyboard::Open(places.uinput);
  if (uinput_keyboard) {
    Trace(std::string("Keys go through ") + places.uinput);
    return uinput_keyboard.Release();
  }
  return std::make_unique<SilentKeyboard>(notices, "no X display (" + Describe(x_keyboard.error()) +
                                                       ") and no uinput device (" +
                                                       Describe(uinput_keyboard.error()) + ")");
}

}  // namespace pelorin::linux_os
