#include "actions/player_channel.h"

namespace pelorin {

PlayerState PlayerChannel::State(WindowId player) {
  if (player == kNoWindow) return PlayerState::NotRunning;
  switch (Status(player)) {
    case kStatusStopped:
      return PlayerState::Stopped;
    case kStatusPlaying:
      return PlayerState::Playing;
    case kStatusPaused:
      return PlayerState::Paused;
    default:
      return PlayerState::Other;
  }
}

}  // namespace pelorin
