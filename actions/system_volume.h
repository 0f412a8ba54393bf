#pragma once
#include <cstdint>

#include "platform/audio.h"
#include "platform/window_id.h"

namespace pelorin {

// Moves the louder channel by `step` (clamped to 0..65535) and the quieter one
// in proportion, so that the balance stays; equal channels move together.
void StepVolume(StereoLevel& level, std::int16_t step);

// The Windows volume commands: the master volume is the default playback
// device's; the wave volume is the player's own sound where the system keeps
// one for it, else the device's too.
class SystemVolume {
 public:
  explicit SystemVolume(Audio& audio) : audio_(audio) {}

  // One volume command: read the target's levels, step them, write them.
  // The target is looked up afresh for every step, so that a device switched
  // since the last one is honoured. When there is no target or its levels
  // cannot be read the step is skipped rather than writing a guess.
  void StepMaster(std::int16_t step);
  // `player` is the player's window, kNoWindow when there is none.
  void StepWave(std::int16_t step, WindowId player);

 private:
  Audio& audio_;
};

}  // namespace pelorin
