#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/window_id.h"

namespace pelorin {

// Levels of the two channels, 0 (silent) to 65535 (full).
struct StereoLevel {
  std::uint16_t left = 0;
  std::uint16_t right = 0;
  bool operator==(const StereoLevel&) const = default;
};

// One volume that is heard: a playback device as a whole, or the sound of one
// program on it. Held only for the length of one change, so that a device
// switched or unplugged in between is never written to.
class VolumeControl {
 public:
  virtual ~VolumeControl() = default;
  // The current levels, or nullopt when they cannot be read. A volume with
  // one level answers it on both channels; one with more than two channels
  // answers the first two (front left and right).
  virtual std::optional<StereoLevel> Levels() = 0;
  // Writes the levels; a volume with more channels than two moves the others
  // in proportion to the louder of the first two, so that their balance
  // stays. A refused write leaves the volume as it was and is not reported.
  virtual void SetLevels(StereoLevel level) = 0;
};

// The system's sound output, as the user hears it.
class Audio {
 public:
  virtual ~Audio() = default;
  // The volume of the default playback device (what every program is heard
  // through); nullptr when there is no playback device or it cannot be
  // reached.
  virtual std::unique_ptr<VolumeControl> OpenDeviceVolume() = 0;
  // The volume of the sound that the program owning `window` plays on the
  // default playback device; nullptr when `window` is kNoWindow, its program
  // plays nothing there or the volume cannot be reached.
  virtual std::unique_ptr<VolumeControl> OpenProgramVolume(WindowId window) = 0;
};

}  // namespace pelorin
