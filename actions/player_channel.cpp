#include "actions/player_channel.h"

namespace pelorin {

std::intptr_t PlayerChannel::Status(WindowId player) {
  return messaging_.Send(player, kWmUser, 0, kPlayerStatusQuery);
}

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

void PlayerChannel::PostCommand(WindowId player, std::uintptr_t id) {
  messaging_.Post(player, kWmCommand, id, 0);
}

void PlayerChannel::PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request) {
  messaging_.Post(player, kWmUser, wparam, request);
}

void PlayerChannel::WritePlaylist(WindowId player) {
  messaging_.Send(player, kWmUser, 0, kPlayerWritePlaylist);
}

int PlayerChannel::PlaylistPosition(WindowId player) {
  // The player answers a 32-bit index; the upper half of the result is noise.
  return static_cast<int>(messaging_.Send(player, kWmUser, 0, kPlayerPlaylistPosition));
}

void PlayerChannel::SelectEntry(WindowId player, int index) {
  PostRequest(player, static_cast<std::uintptr_t>(index), kPlayerSelectEntry);
}

void PlayerChannel::FadeOutAndWait(WindowId player) {
  messaging_.SendAndWait(player, kWmCommand, kPlayerFadeOutAndStop, 0);
}

}  // namespace pelorin
