#pragma once
#include <cstdint>

#include "actions/command_catalogue.h"
#include "config/settings.h"
#include "platform/keyboard.h"

namespace pelorin {

// Virtual-key codes of the system's media and volume keys.
inline constexpr std::uint8_t kVkVolumeDown = 0xAE;
inline constexpr std::uint8_t kVkVolumeUp = 0xAF;
inline constexpr std::uint8_t kVkMediaNextTrack = 0xB0;
inline constexpr std::uint8_t kVkMediaPreviousTrack = 0xB1;
inline constexpr std::uint8_t kVkMediaStop = 0xB2;
inline constexpr std::uint8_t kVkMediaPlayPause = 0xB3;

// One media key pressed and released `presses` times.
struct MediaKeyPresses {
  std::uint8_t code = 0;
  int presses = 0;  // 0: the command has no media key
};

// The media or volume key that stands for a player command when no player
// window answers: Play, Pause and Play/Pause share the play/pause key, Stop
// and the track steps have their own, and the player's volume steps become
// as many presses of a volume key as come nearest to the same change (the
// system moves its volume by 2 % of full scale per press). Every other
// command has none.
MediaKeyPresses MediaKeyFor(CommandId command);

// True when presses of a button with policy `button_policy` (its `Inactive`
// value) go out as media keys while the player is not running.
bool SendsMediaKeys(std::uint8_t button_policy, InactivePolicy global_policy);

// Presses and releases the media key of `command`, each press released
// before the next goes down. False, sending nothing, when the command has
// no media key.
bool PressMediaKey(Keyboard& keyboard, CommandId command);

}  // namespace pelorin
