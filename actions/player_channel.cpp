#include "actions/player_channel.h"

namespace pelorin {

PlayerState PlayerChannel::State(WindowId player) {
  if (player == kNoWindow) return PlayerState::NotRunning;
  switch (messaging_.Send(player, kWmUser, 0, kPlayerStatusQuery)) {
    case 0: return PlayerState::Stopped;
    case 1: return PlayerState::Playing;
    case 3: return PlayerState::Paused;
    default: return PlayerState::Other;
  }
}

}  // namespace pelorin
