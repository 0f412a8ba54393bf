#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/audio.h"

namespace pelorin {

// Moves the louder channel by `step` (clamped to 0..65535) and the quieter one
// in proportion, so that the balance stays; equal channels move together.
void StepVolume(StereoLevel& level, std::int16_t step);

// The identifier of the master volume control: the volume control of the
// first destination line that feeds the speakers; 0 when there is none or a
// query fails.
std::uint32_t FindMasterVolumeControl(MixerDevice& mixer);

// The Windows master volume (the speakers line of mixer device 0) and the
// wave output volume.
class SystemVolume {
 public:
  explicit SystemVolume(Audio& audio) : audio_(audio) {}

  // Opens the mixer handle that serves to find the master volume control and
  // keeps it for the program's life; without a mixer the control stays 0.
  void Open();
  std::uint32_t MasterVolumeControlId() const { return master_control_id_; }

  // Each get and set opens and closes a fresh mixer handle, so that a mixer
  // that appeared or changed since start-up is honoured. nullopt when the
  // level cannot be read.
  std::optional<StereoLevel> GetMasterVolume();
  void SetMasterVolume(StereoLevel level);
  std::optional<StereoLevel> GetWaveVolume() { return audio_.GetWaveVolume(); }
  void SetWaveVolume(StereoLevel level) { audio_.SetWaveVolume(level); }

  // One volume command: read the target's levels, step them, write them.
  // When the levels cannot be read the step is skipped rather than writing a
  // guess.
  void StepMaster(std::int16_t step);
  void StepWave(std::int16_t step);

 private:
  Audio& audio_;
  std::unique_ptr<MixerDevice> mixer_;
  std::uint32_t master_control_id_ = 0;
};

}  // namespace pelorin
