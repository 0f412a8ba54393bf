#pragma once
#include <cstdint>
#include <vector>

#include "support/fake_window_messaging.h"

namespace pelorin::testing {

// Which of the player's windows a message goes to.
enum class Target { Player, PlaylistEditor, Slider };

struct ExpectedMessage {
  Target target;
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  FakeWindowMessaging::How how;
};

struct CommandCase {
  int command;  // CommandId, 0..255
  std::vector<ExpectedMessage> messages;
};

// The exact messages each command sends, in order, when the player runs and
// answers the status query with "paused", its playlist editor and the slider
// plug-in window exist, and no playlist file can be read. Covers every
// CommandId from 0 to 55 and a few above. Shared by the dispatcher's unit
// tests and its end-to-end test against a stand-in player.
std::vector<CommandCase> PlayerMessageCases();

}  // namespace pelorin::testing
