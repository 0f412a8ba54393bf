#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_error.h"

namespace pelorin {

// What a media player says it is doing.
enum class MediaPlayback { Stopped, Playing, Paused };

// Requests a media player carries out without an argument.
enum class MediaRequest {
  PlayPause,  // plays when paused or stopped, pauses when playing
  Play,
  Pause,
  Stop,
  Next,
  Previous,
  Raise,  // brings the player's window to the front, where it has one
  Quit,
};

// The track a player has current. Either part may be empty when the player
// does not tell it.
struct MediaTrack {
  std::string url;  // where the track is read from, e.g. "file:///music/a.flac"
  std::string id;   // the player's own name for the track, used to go to it
};

// One player, as found at one moment; it may quit at any time. Every call
// asks the player now, waits at most the time limit its finder was given,
// and changes nothing when it fails. Once the player has gone every call
// answers an error for which IsNoPlayer() holds, without waiting. Used from
// one thread.
class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  // The name the player is known by, e.g. "org.mpris.MediaPlayer2.vlc".
  virtual const std::string& Name() const = 0;

  virtual OsStatus Send(MediaRequest request) = 0;
  // Moves the position in the current track by `offset` (negative: back).
  virtual OsStatus Seek(std::chrono::microseconds offset) = 0;
  virtual Answer<MediaPlayback> Playback() = 0;
  // The player's own volume, 0.0 (silent) to 1.0 (full); players may answer
  // more than 1.0 when they amplify.
  virtual Answer<double> Volume() = 0;
  // Sets the player's own volume; values outside 0.0..1.0 are brought to
  // the nearer end first.
  virtual OsStatus SetVolume(double volume) = 0;
  virtual Answer<MediaTrack> CurrentTrack() = 0;

  // Whether the player plays its tracks in random order.
  virtual Answer<bool> Shuffle() = 0;
  virtual OsStatus SetShuffle(bool on) = 0;
  // How the player repeats: "None", "Track" or "Playlist".
  virtual Answer<std::string> LoopStatus() = 0;
  virtual OsStatus SetLoopStatus(const std::string& status) = 0;

  // The ids of the playlist's tracks in their order; an error when the
  // player offers no track list. Asked, not looked up in the player's
  // HasTrackList property, which some players answer false while they
  // offer the list.
  virtual Answer<std::vector<std::string>> Tracks() = 0;
  // Makes the track with id `track_id` current (it plays if the player was
  // playing).
  virtual OsStatus GoTo(std::string_view track_id) = 0;
  // Where the tracks with ids `track_ids` are read from, in the same order
  // ("" where the player does not tell).
  virtual Answer<std::vector<std::string>> TrackUrls(const std::vector<std::string>& track_ids) = 0;

  // The process the player runs in, for finding its sound stream.
  virtual Answer<int> ProcessId() = 0;
};

// The media players running in the user's session.
class MediaPlayers {
 public:
  virtual ~MediaPlayers() = default;
  // The player to control now. When `pinned` is not empty it names the
  // only acceptable player by the end of its name ("vlc"). Otherwise the
  // first that is playing, else the one last seen playing that is still
  // there, else the first found. An error for which IsNoPlayer() holds when
  // there is none.
  virtual Opened<MediaPlayer> Find(std::string_view pinned) = 0;
  // The same, handed the player the last call answered (or nullptr): when
  // that is still the one to control it comes back, so that a caller asking
  // every cycle opens a new player only when the player changed.
  virtual Opened<MediaPlayer> FindAgain(std::string_view pinned,
                                        std::unique_ptr<MediaPlayer> previous) {
    (void)previous;
    return Find(pinned);
  }
};

// The error that says no player is there (`subject` says which was sought).
OsError NoPlayerError(std::string subject);
// Whether `error` says that no player is there, as opposed to a player
// that failed.
bool IsNoPlayer(const OsError& error);

}  // namespace pelorin
