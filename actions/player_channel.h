#pragma once
#include <cstdint>

#include "platform/identity.h"
#include "platform/window_messaging.h"

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

// The message channel to the player. Windows are looked up afresh at every
// use and never cached. Every request to kNoWindow does nothing and every
// query of it answers 0 (stopped, position 0).
class PlayerChannel {
 public:
  explicit PlayerChannel(WindowMessaging& messaging) : messaging_(messaging) {}

  // The player's top-level window now, or kNoWindow.
  WindowId FindPlayer() { return messaging_.FindWindow(kPlayerWindowClass); }
  // The player's playlist editor window now, or kNoWindow.
  WindowId FindPlaylistEditor() { return messaging_.FindWindow(kPlaylistWindowClass); }
  // The slider plug-in's window now, or kNoWindow.
  WindowId FindSlider() { return messaging_.FindWindow(kSliderWindowClass); }

  // The state of `player` (as found in the same cycle) from its status query.
  PlayerState State(WindowId player);
  // The raw answer of the status query: 1 playing, 3 paused, 0 stopped.
  std::intptr_t Status(WindowId player);

  // Posts the player command `id` (WM_COMMAND).
  void PostCommand(WindowId player, std::uintptr_t id);
  // Posts a WM_USER request with `wparam` and the request number `request`.
  void PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request);
  // Has the player write its playlist file; returns once it is written.
  void WritePlaylist(WindowId player);
  // The zero-based index of the player's current playlist entry.
  int PlaylistPosition(WindowId player);
  // Selects playlist entry `index` (takes effect after the call).
  void SelectEntry(WindowId player, int index);
  // The player's own fade-out and stop; waits until the player has done it,
  // however long that takes, because a shut down follows.
  void FadeOutAndWait(WindowId player);

  WindowMessaging& Messaging() { return messaging_; }

 private:
  WindowMessaging& messaging_;
};

}  // namespace pelorin
