#pragma once
#include <cstdint>
#include <string>

#include "support/player_message_cases.h"

namespace pelorin::testing {

// One message as one of the player's windows received it.
struct ReceivedMessage {
  Target target;
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

// Words for a message the player received, for a person watching a demo or
// reading a failed test: the name of the command that sends it ("Next
// track"), all such names joined by " / " when several commands send it, a
// description of the player requests that serve several commands ("Status
// query", "Write playlist file"), or the bare numbers of anything else.
std::string DescribePlayerMessage(const ReceivedMessage& received);

// Words for `count` equal messages received in one go. A command that sends
// exactly that burst is named ("Volume 1/8 up" for eight "Volume up"); any
// other burst is the single message's words with a count ("Next track
// (x3)").
std::string DescribeBurst(const ReceivedMessage& received, int count);

}  // namespace pelorin::testing
