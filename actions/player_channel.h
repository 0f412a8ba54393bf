#pragma once
#include <cstdint>

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

inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;

// Requests to the player carried in lParam of WM_USER.
inline constexpr std::intptr_t kPlayerStatusQuery = 104;

// The message channel to the player. The player window is looked up afresh
// at every use and never cached.
class PlayerChannel {
 public:
  explicit PlayerChannel(WindowMessaging& messaging) : messaging_(messaging) {}

  // The player's top-level window now, or kNoWindow.
  WindowId FindPlayer() { return messaging_.FindWindow(kPlayerWindowClass); }
  // The state of `player` (as found in the same cycle) from its status query.
  PlayerState State(WindowId player);

  WindowMessaging& Messaging() { return messaging_; }

 private:
  WindowMessaging& messaging_;
};

// Where a recognised button event goes: the command dispatcher.
class CommandSink {
 public:
  virtual ~CommandSink() = default;
  // Carries out the command of event `slot` (1..3) of virtual `button`
  // (1..15) of `port` (1 primary, 2 secondary); `player` is the player
  // window as looked up in the same poll cycle, kNoWindow when not running.
  virtual void SendCommand(WindowId player, int port, int button, int slot) = 0;
};

}  // namespace pelorin
