#pragma once
#include <cstdint>
#include <memory>
#include <optional>

namespace pelorin {

// Levels of the two channels, 0 (silent) to 65535 (full).
struct StereoLevel {
  std::uint16_t left = 0;
  std::uint16_t right = 0;
  bool operator==(const StereoLevel&) const = default;
};

// Component type of a mixer destination line that feeds the speakers
// (MIXERLINE_COMPONENTTYPE_DST_SPEAKERS).
inline constexpr std::uint32_t kSpeakersComponentType = 4;

struct MixerLine {
  std::uint32_t line_id = 0;
  std::uint32_t component_type = 0;
};

// An open handle on mixer device 0; closed when the object goes away. Every
// query answers nullopt when the underlying call fails.
class MixerDevice {
 public:
  virtual ~MixerDevice() = default;
  // The number of destination lines of the mixer.
  virtual std::optional<std::uint32_t> DestinationCount() = 0;
  // Destination line `index` (its source 0).
  virtual std::optional<MixerLine> Destination(std::uint32_t index) = 0;
  // The first line of `component_type`.
  virtual std::optional<MixerLine> LineByComponentType(std::uint32_t component_type) = 0;
  // The identifier of the one volume control of line `line_id`.
  virtual std::optional<std::uint32_t> VolumeControl(std::uint32_t line_id) = 0;
  // The two channels of control `control_id`, one unsigned value each.
  virtual std::optional<StereoLevel> GetLevels(std::uint32_t control_id) = 0;
  // Writes both channels of control `control_id`; failures are ignored.
  virtual void SetLevels(std::uint32_t control_id, StereoLevel level) = 0;
};

// The multimedia mixer and the wave output of the sound card.
class Audio {
 public:
  virtual ~Audio() = default;
  // Opens mixer device 0 with the program's main window as callback window;
  // nullptr when there is no mixer.
  virtual std::unique_ptr<MixerDevice> OpenMixer() = 0;
  // The volume of the wave mapper, or nullopt when it cannot be read.
  virtual std::optional<StereoLevel> GetWaveVolume() = 0;
  // Sets the volume of the wave mapper; failures are ignored.
  virtual void SetWaveVolume(StereoLevel level) = 0;
};

}  // namespace pelorin
