#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/identity.h"
#include "platform/text_file.h"
#include "platform/window_id.h"

namespace pelorin {

enum class PlayerState {
  NotRunning,  // no player window
  Stopped,
  Playing,
  Paused,
  Other,  // running, but the status query answered none of the three
};

inline constexpr const char* kPlayerWindowClass = "Winamp v1.x";
inline constexpr const char* kPlaylistWindowClass = "Winamp PE";
inline constexpr const char* kSliderWindowClass = "Bluecave Winamp Slider Interface";

inline constexpr std::uint32_t kWmKeyDown = 0x0100;
// The slider plug-in's "slide" request.
inline constexpr std::uint32_t kSliderSlideMessage = 3026;

// Requests to the player carried in lParam of WM_USER.
inline constexpr std::intptr_t kPlayerClearPlaylist = 101;
inline constexpr std::intptr_t kPlayerStatusQuery = 104;
inline constexpr std::intptr_t kPlayerWritePlaylist = 120;
inline constexpr std::intptr_t kPlayerSelectEntry = 121;
inline constexpr std::intptr_t kPlayerSetVolume = 122;
inline constexpr std::intptr_t kPlayerPlaylistPosition = 125;

// Answers of the status query.
inline constexpr std::intptr_t kStatusStopped = 0;
inline constexpr std::intptr_t kStatusPlaying = 1;
inline constexpr std::intptr_t kStatusPaused = 3;

// Player command ids (wParam of WM_COMMAND) that this program sends itself
// besides the catalogue's table.
inline constexpr std::uintptr_t kPlayerPlay = 40045;
inline constexpr std::uintptr_t kPlayerOpenFile = 40029;
inline constexpr std::uintptr_t kPlayerFadeOutAndStop = 40147;
// The playlist editor's "add files" key (L).
inline constexpr std::uintptr_t kPlaylistAddKey = 0x4C;

// The player's playlist as the folder jumps read it.
struct PlaylistEntries {
  // The entries in playlist order, one a line; lines starting "#EXTINF:"
  // (any case) are not entries. Read from just after any header.
  std::unique_ptr<LineReader> lines;
  // The zero-based index of the current entry.
  int position = 0;
  // What separates an entry's folder from its file name: '\\' for Windows
  // paths, '/' for URLs.
  char folder_separator = '\\';
};

// The channel to the media player. The player is found once per poll cycle
// (FindPlayer) and that answer is passed back to every other call of the
// cycle. Commands and requests are Winamp's numbers (its WM_COMMAND ids and
// WM_USER requests); a channel to another kind of player carries out the
// nearest action it has. Every request to kNoWindow does nothing and every
// query of it answers 0 (stopped, position 0).
class PlayerChannel {
 public:
  virtual ~PlayerChannel() = default;

  // The player now, or kNoWindow when none runs.
  virtual WindowId FindPlayer() = 0;

  // The state of `player` (as found in the same cycle) from its status query.
  PlayerState State(WindowId player);
  // The raw answer of the status query: 1 playing, 3 paused, 0 stopped.
  virtual std::intptr_t Status(WindowId player) = 0;

  // Posts the player command `id` (WM_COMMAND).
  virtual void PostCommand(WindowId player, std::uintptr_t id) = 0;
  // Posts a WM_USER request with `wparam` and the request number `request`.
  virtual void PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request) = 0;
  // Has the player write its playlist file; returns once it is written.
  virtual void WritePlaylist(WindowId player) = 0;
  // The zero-based index of the player's current playlist entry.
  virtual int PlaylistPosition(WindowId player) = 0;
  // Selects playlist entry `index` (takes effect after the call).
  virtual void SelectEntry(WindowId player, int index) = 0;
  // The player's own fade-out and stop; waits until the player has done it,
  // however long that takes, because a shut down follows.
  virtual void FadeOutAndWait(WindowId player) = 0;
  // Brings the player's window to the front; failures are ignored.
  virtual void BringToFront(WindowId player) = 0;
  // Opens the player's "open file" dialog and returns once the player has
  // taken the request (its dialog may still be up).
  virtual void OpenFileDialog(WindowId player) = 0;
  // Has the player's playlist editor ask for files to add; nothing when the
  // player shows no such editor.
  virtual void AddFilesToPlaylist() = 0;
  // The slider plug-in's "slide"; nothing when the plug-in is not there.
  virtual void Slide() = 0;
  // What the volume seam knows the player's own sound by (its window on
  // Windows, its process on Linux), for the "wave" volume steps; kNoWindow
  // when there is none.
  virtual WindowId SoundOwner(WindowId player) { return player; }

  // The playlist for a folder jump, read after WritePlaylist; nullopt when
  // the player offers none that can be read now.
  virtual std::optional<PlaylistEntries> ReadPlaylist(WindowId player) = 0;
  // Where a player that keeps its playlist in a file may keep it, in order
  // of preference (known once the player is located at start-up); a player
  // that hands its entries over directly ignores it.
  virtual void UsePlaylistFiles(std::vector<std::string> candidates) = 0;
};

}  // namespace pelorin
