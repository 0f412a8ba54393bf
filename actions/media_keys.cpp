#include "actions/media_keys.h"

#include <array>
#include <utility>

namespace pelorin {
namespace {

// The system's volume keys move the master volume by 2 % of full scale per
// press (Windows' own step; a sound driver cannot change it).
constexpr int kSystemStepPercent = 2;

// One press of the player's "Volume up" moves its volume by 1/64 of full
// scale: eight of them make the eighth that "Volume 1/8 up" is named after.
constexpr int kPlayerStepsPerScale = 64;

// The number of system volume key presses that comes nearest to a change of
// `steps` player volume steps; never less than one, so that a volume command
// always does something.
constexpr int PressesForPlayerSteps(int steps) {
  const int presses = (steps * 100 + kPlayerStepsPerScale * kSystemStepPercent / 2) /
                      (kPlayerStepsPerScale * kSystemStepPercent);
  return presses < 1 ? 1 : presses;
}
static_assert(PressesForPlayerSteps(1) == 1, "1.6 % is nearest to one 2 % press");
static_assert(PressesForPlayerSteps(8) == 6, "12.5 % is nearest to six 2 % presses");

constexpr int kEighth = 8;

// The catalogue has no mute command, so the mute key is never sent.
constexpr std::array<std::pair<CommandId, MediaKeyPresses>, 10> kMediaKeys = {{
    {command::kPlay, {kVkMediaPlayPause, 1}},
    {command::kPause, {kVkMediaPlayPause, 1}},
    {command::kPlayPause, {kVkMediaPlayPause, 1}},
    {command::kStop, {kVkMediaStop, 1}},
    {command::kPreviousTrack, {kVkMediaPreviousTrack, 1}},
    {command::kNextTrack, {kVkMediaNextTrack, 1}},
    {command::kVolumeUp, {kVkVolumeUp, PressesForPlayerSteps(1)}},
    {command::kVolumeDown, {kVkVolumeDown, PressesForPlayerSteps(1)}},
    {command::kVolumeUp8, {kVkVolumeUp, PressesForPlayerSteps(kEighth)}},
    {command::kVolumeDown8, {kVkVolumeDown, PressesForPlayerSteps(kEighth)}},
}};

}  // namespace

MediaKeyPresses MediaKeyFor(CommandId command) {
  for (const auto& [id, keys] : kMediaKeys) {
    if (id == command) return keys;
  }
  return {};
}

bool SendsMediaKeys(std::uint8_t button_policy, InactivePolicy global_policy) {
  return PolicyOfButton(button_policy, global_policy) == InactivePolicy::SendMediaKeys;
}

bool PressMediaKey(Keyboard& keyboard, CommandId command) {
  const MediaKeyPresses keys = MediaKeyFor(command);
  for (int i = 0; i < keys.presses; ++i) {
    keyboard.KeyEvent(keys.code, false);
    keyboard.KeyEvent(keys.code, true);
  }
  return keys.presses > 0;
}

}  // namespace pelorin
