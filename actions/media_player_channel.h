#pragma once
#include <memory>
#include <string>
#include <vector>

#include "actions/command_catalogue.h"
#include "actions/player_channel.h"
#include "config/settings.h"
#include "platform/media_player.h"

namespace pelorin {

// What a player reached through the MediaPlayers seam does for one of
// Winamp's commands or requests.
enum class MediaAction {
  NotAvailable,
  Play,
  Pause,
  Stop,
  Previous,
  Next,
  TenTracksBack,
  TenTracksForward,
  StartOfPlaylist,
  EndOfPlaylist,
  SeekForward,
  SeekBack,
  VolumeUp,
  VolumeDown,
  ToggleShuffle,
  ToggleRepeat,
  Raise,
  Quit,
};

// The action for Winamp's WM_COMMAND id `command`; NotAvailable for the
// commands such players have no counterpart for.
MediaAction MediaActionForCommand(std::uintptr_t command);

// The catalogue's commands that do nothing with such a player, in id order
// (for the command lists and the documentation).
std::vector<CommandId> CommandsNotAvailableOnMediaPlayers();

// The player channel to whichever media player the MediaPlayers seam finds
// (on Linux, an MPRIS player on the session bus). FindPlayer finds the
// player anew, preferring the one `settings.Linux.Player` pins at that
// moment, and the other calls of the same cycle use that player. Winamp's
// commands and requests become their nearest actions (MediaActionForCommand);
// failures of the player are ignored, as a posted message's would be.
class MediaPlayerChannel final : public PlayerChannel {
 public:
  // The value FindPlayer answers while a player is there.
  static constexpr WindowId kFoundPlayer = 1;
  // One step of "Volume up" or "down": eight of them make the eighth that
  // "Volume 1/8 up" promises.
  static constexpr double kVolumeStep = 1.0 / 64;
  // "Forward 5 seconds" and "Rewind 5 seconds".
  static constexpr std::int64_t kSeekMicroseconds = 5'000'000;

  MediaPlayerChannel(MediaPlayers& players, const Settings& settings)
      : players_(players), settings_(&settings) {}
  // A channel whose settings come later (the program that owns them is
  // built on the channel); until then no player is pinned.
  explicit MediaPlayerChannel(MediaPlayers& players) : players_(players) {}
  void FollowSettings(const Settings& settings) { settings_ = &settings; }

  WindowId FindPlayer() override;
  std::intptr_t Status(WindowId player) override;
  void PostCommand(WindowId player, std::uintptr_t id) override;
  void PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request) override;
  // The track list is asked for when it is read; nothing is written first.
  void WritePlaylist(WindowId /*player*/) override {}
  int PlaylistPosition(WindowId player) override;
  void SelectEntry(WindowId player, int index) override;
  // Such players have no fade of their own: they stop at once.
  void FadeOutAndWait(WindowId player) override { Run(player, MediaAction::Stop); }
  // Only the "open file" command brings the player forward first, and it
  // raises the player itself: raising here too would do it twice.
  void BringToFront(WindowId /*player*/) override {}
  void OpenFileDialog(WindowId player) override { Run(player, MediaAction::Raise); }
  void AddFilesToPlaylist() override {}
  void Slide() override {}
  // The player's process, in which its sound stream is found.
  WindowId SoundOwner(WindowId player) override;
  std::optional<PlaylistEntries> ReadPlaylist(WindowId player) override;
  void UsePlaylistFiles(std::vector<std::string> /*candidates*/) override {}

 private:
  // The player found in this cycle when `player` says there is one.
  MediaPlayer* Current(WindowId player) const;
  void Run(WindowId player, MediaAction action);
  void StepVolume(MediaPlayer& player, double step);
  // Moves by `offset` tracks from the current one, staying inside the list.
  void MoveInTrackList(MediaPlayer& player, int offset);
  void GoToIndex(MediaPlayer& player, const std::vector<std::string>& tracks, int index);
  static int IndexOfCurrent(MediaPlayer& player, const std::vector<std::string>& tracks);

  MediaPlayers& players_;
  const Settings* settings_ = nullptr;
  std::unique_ptr<MediaPlayer> player_;
};

}  // namespace pelorin
