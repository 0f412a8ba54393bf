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
// query", "Write playlist file"), or the bare numbers of anything else. A
// volume message is one step of the player's volume: "Volume up (one step)".
std::string DescribePlayerMessage(const ReceivedMessage& received);

// Words for `count` equal messages received in one go: the single message's
// words with a count ("Next track (x3)"), or for volume messages the steps
// ("Volume up (8 steps)", which is what "Volume 1/8 up" sends).
std::string DescribeBurst(const ReceivedMessage& received, int count);

}  // namespace pelorin::testing
