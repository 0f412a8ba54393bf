#pragma once
#include <vector>

#include "platform/keyboard.h"

namespace pelorin::testing {

// Records every key event in order.
class FakeKeyboard final : public Keyboard {
 public:
  struct Event {
    std::uint8_t code;
    bool up;
    bool operator==(const Event&) const = default;
  };
  void KeyEvent(std::uint8_t code, bool up) override { events.push_back({code, up}); }

  std::vector<Event> events;
};

}  // namespace pelorin::testing
