#include "actions/media_player_channel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

#include "actions/command_dispatcher.h"

namespace pelorin {
namespace {

struct CommandAction {
  std::uintptr_t command;  // Winamp's WM_COMMAND id
  MediaAction action;
};

// Every WM_COMMAND id the dispatcher posts that such a player can carry out.
constexpr std::array<CommandAction, 18> kCommandActions = {{
    {40045, MediaAction::Play},
    {40046, MediaAction::Pause},
    {40047, MediaAction::Stop},
    {40044, MediaAction::Previous},
    {40048, MediaAction::Next},
    {40197, MediaAction::TenTracksBack},
    {40195, MediaAction::TenTracksForward},
    {40058, MediaAction::VolumeUp},
    {40059, MediaAction::VolumeDown},
    {40148, MediaAction::SeekForward},
    {40144, MediaAction::SeekBack},
    {40147, MediaAction::Stop},  // stop with fade-out: no player fades on request
    {40154, MediaAction::StartOfPlaylist},
    {40158, MediaAction::EndOfPlaylist},
    {40029, MediaAction::Raise},  // the "open file" dialog: the player's own window
    {40023, MediaAction::ToggleShuffle},
    {40022, MediaAction::ToggleRepeat},
    {40001, MediaAction::Quit},
}};

// Commands that post no WM_COMMAND and still have no counterpart: the
// playlist requests and the player's own windows and plug-ins.
constexpr std::array<CommandId, 4> kOtherCommandsNotAvailable = {
    command::kClearPlaylist, command::kSavePlaylist, command::kAddFiles, command::kSliderSlide};

constexpr int kTenTracks = 10;
constexpr double kFullRequestVolume = 255.0;

std::intptr_t StatusOf(MediaPlayback playback) {
  switch (playback) {
    case MediaPlayback::Playing:
      return kStatusPlaying;
    case MediaPlayback::Paused:
      return kStatusPaused;
    case MediaPlayback::Stopped:
      break;
  }
  return kStatusStopped;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).push_back('\n');
  return text;
}

}  // namespace

MediaAction MediaActionForCommand(std::uintptr_t command) {
  const auto* found =
      std::find_if(kCommandActions.begin(), kCommandActions.end(),
                   [command](const CommandAction& e) { return e.command == command; });
  return found == kCommandActions.end() ? MediaAction::NotAvailable : found->action;
}

std::vector<CommandId> CommandsNotAvailableOnMediaPlayers() {
  std::vector<CommandId> missing;
  for (int id = 0; id <= command::kSliderSlide; ++id) {
    const auto command = static_cast<CommandId>(id);
    const std::uintptr_t posted = PlayerCommandOf(command);
    const bool other =
        std::find(kOtherCommandsNotAvailable.begin(), kOtherCommandsNotAvailable.end(), command) !=
        kOtherCommandsNotAvailable.end();
    if (other || (posted != 0 && MediaActionForCommand(posted) == MediaAction::NotAvailable)) {
      missing.push_back(command);
    }
  }
  return missing;
}

WindowId MediaPlayerChannel::FindPlayer() {
  // No player found is the usual case while none runs: nothing to report.
  const std::string_view pinned =
      settings_ ? std::string_view(settings_->Linux.Player) : std::string_view();
  player_ = players_.FindAgain(pinned, std::move(player_)).Release();
  return player_ ? kFoundPlayer : kNoWindow;
}

WindowId MediaPlayerChannel::SoundOwner(WindowId player) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return kNoWindow;
  const Answer<int> process = current->ProcessId();
  return process && *process > 0 ? static_cast<WindowId>(*process) : kNoWindow;
}

MediaPlayer* MediaPlayerChannel::Current(WindowId player) const {
  return player == kNoWindow ? nullptr : player_.get();
}

std::intptr_t MediaPlayerChannel::Status(WindowId player) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return kStatusStopped;
  const Answer<MediaPlayback> playback = current->Playback();
  return playback ? StatusOf(*playback) : kStatusStopped;
}

void MediaPlayerChannel::PostCommand(WindowId player, std::uintptr_t id) {
  Run(player, MediaActionForCommand(id));
}

void MediaPlayerChannel::PostRequest(WindowId player, std::uintptr_t wparam,
                                     std::intptr_t request) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return;
  if (request == kPlayerSetVolume) {
    // Ignored on failure, as a posted request's result would be.
    (void)current->SetVolume(static_cast<double>(wparam) / kFullRequestVolume);
  } else if (request == kPlayerSelectEntry) {
    SelectEntry(player, static_cast<int>(wparam));
  }
  // Clearing the playlist has no counterpart.
}

void MediaPlayerChannel::Run(WindowId player, MediaAction action) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return;
  // Every result below is ignored on purpose: a command that fails does
  // nothing, as a message to a Winamp that cannot act on it.
  switch (action) {
    case MediaAction::Play:
      (void)current->Send(MediaRequest::Play);
      break;
    case MediaAction::Pause:
      (void)current->Send(MediaRequest::Pause);
      break;
    case MediaAction::Stop:
      (void)current->Send(MediaRequest::Stop);
      break;
    case MediaAction::Previous:
      (void)current->Send(MediaRequest::Previous);
      break;
    case MediaAction::Next:
      (void)current->Send(MediaRequest::Next);
      break;
    case MediaAction::Raise:
      (void)current->Send(MediaRequest::Raise);
      break;
    case MediaAction::Quit:
      (void)current->Send(MediaRequest::Quit);
      break;
    case MediaAction::TenTracksBack:
      MoveInTrackList(*current, -kTenTracks);
      break;
    case MediaAction::TenTracksForward:
      MoveInTrackList(*current, kTenTracks);
      break;
    case MediaAction::StartOfPlaylist:
      if (auto tracks = current->Tracks(); tracks && !tracks->empty()) {
        GoToIndex(*current, *tracks, 0);
      }
      break;
    case MediaAction::EndOfPlaylist:
      if (auto tracks = current->Tracks(); tracks && !tracks->empty()) {
        GoToIndex(*current, *tracks, static_cast<int>(tracks->size()) - 1);
      }
      break;
    case MediaAction::SeekForward:
      (void)current->Seek(std::chrono::microseconds(kSeekMicroseconds));
      break;
    case MediaAction::SeekBack:
      (void)current->Seek(std::chrono::microseconds(-kSeekMicroseconds));
      break;
    case MediaAction::VolumeUp:
      StepVolume(*current, kVolumeStep);
      break;
    case MediaAction::VolumeDown:
      StepVolume(*current, -kVolumeStep);
      break;
    case MediaAction::ToggleShuffle:
      if (auto shuffle = current->Shuffle()) (void)current->SetShuffle(!*shuffle);
      break;
    case MediaAction::ToggleRepeat:
      // Repeating one track counts as repeating, like the whole list.
      if (auto loop = current->LoopStatus()) {
        (void)current->SetLoopStatus(*loop == "None" ? "Playlist" : "None");
      }
      break;
    case MediaAction::NotAvailable:
      break;
  }
}

void MediaPlayerChannel::StepVolume(MediaPlayer& player, double step) {
  const Answer<double> volume = player.Volume();
  if (!volume) return;
  // An amplifying player (above 1.0) is brought to full by a step up too.
  (void)player.SetVolume(std::clamp(*volume + step, 0.0, 1.0));
}

int MediaPlayerChannel::IndexOfCurrent(MediaPlayer& player,
                                       const std::vector<std::string>& tracks) {
  const Answer<MediaTrack> track = player.CurrentTrack();
  if (!track) return -1;
  const auto found = std::find(tracks.begin(), tracks.end(), track->id);
  return found == tracks.end() ? -1 : static_cast<int>(found - tracks.begin());
}

void MediaPlayerChannel::MoveInTrackList(MediaPlayer& player, int offset) {
  const auto tracks = player.Tracks();
  if (!tracks || tracks->empty()) return;
  const int current = IndexOfCurrent(player, *tracks);
  if (current < 0) return;
  const int last = static_cast<int>(tracks->size()) - 1;
  GoToIndex(player, *tracks, std::clamp(current + offset, 0, last));
}

void MediaPlayerChannel::GoToIndex(MediaPlayer& player, const std::vector<std::string>& tracks,
                                   int index) {
  (void)player.GoTo(tracks[static_cast<std::size_t>(index)]);
}

int MediaPlayerChannel::PlaylistPosition(WindowId player) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return 0;
  const auto tracks = current->Tracks();
  if (!tracks) return 0;
  return std::max(IndexOfCurrent(*current, *tracks), 0);
}

void MediaPlayerChannel::SelectEntry(WindowId player, int index) {
  MediaPlayer* current = Current(player);
  if (current == nullptr || index < 0) return;
  const auto tracks = current->Tracks();
  if (!tracks || index >= static_cast<int>(tracks->size())) return;
  GoToIndex(*current, *tracks, index);
}

std::optional<PlaylistEntries> MediaPlayerChannel::ReadPlaylist(WindowId player) {
  MediaPlayer* current = Current(player);
  if (current == nullptr) return std::nullopt;
  const auto tracks = current->Tracks();
  if (!tracks || tracks->empty()) return std::nullopt;
  const int position = IndexOfCurrent(*current, *tracks);
  if (position < 0) return std::nullopt;
  const auto urls = current->TrackUrls(*tracks);
  if (!urls) return std::nullopt;
  return PlaylistEntries{std::make_unique<StringLineReader>(JoinLines(*urls)), position, '/'};
}

}  // namespace pelorin
