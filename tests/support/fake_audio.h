#pragma once
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/audio.h"

namespace pelorin::testing {

// A sound card in memory: mixer destination lines with volume controls, and
// the wave mapper's volume. Each query can be made to fail.
struct FakeMixerState {
  bool exists = true;
  bool fail_levels = false;  // GetLevels fails (levels unreadable)
  std::vector<MixerLine> destinations;
  std::map<std::uint32_t, std::uint32_t> volume_control_of_line;  // line id -> control id
  std::map<std::uint32_t, StereoLevel> levels;                    // control id -> levels
  int opens = 0;
  int open_now = 0;  // handles not yet closed
  std::vector<std::pair<std::uint32_t, StereoLevel>> writes;
};

class FakeMixerDevice final : public MixerDevice {
 public:
  explicit FakeMixerDevice(FakeMixerState& state) : state_(state) { ++state_.open_now; }
  ~FakeMixerDevice() override { --state_.open_now; }

  std::optional<std::uint32_t> DestinationCount() override {
    return static_cast<std::uint32_t>(state_.destinations.size());
  }
  std::optional<MixerLine> Destination(std::uint32_t index) override {
    if (index >= state_.destinations.size()) return std::nullopt;
    return state_.destinations[index];
  }
  std::optional<MixerLine> LineByComponentType(std::uint32_t type) override {
    for (const MixerLine& line : state_.destinations) {
      if (line.component_type == type) return line;
    }
    return std::nullopt;
  }
  std::optional<std::uint32_t> VolumeControl(std::uint32_t line_id) override {
    auto it = state_.volume_control_of_line.find(line_id);
    if (it == state_.volume_control_of_line.end()) return std::nullopt;
    return it->second;
  }
  std::optional<StereoLevel> GetLevels(std::uint32_t control_id) override {
    if (state_.fail_levels) return std::nullopt;
    return state_.levels[control_id];
  }
  void SetLevels(std::uint32_t control_id, StereoLevel level) override {
    state_.levels[control_id] = level;
    state_.writes.emplace_back(control_id, level);
  }

 private:
  FakeMixerState& state_;
};

class FakeAudio final : public Audio {
 public:
  std::unique_ptr<MixerDevice> OpenMixer() override {
    if (!mixer.exists) return nullptr;
    ++mixer.opens;
    return std::make_unique<FakeMixerDevice>(mixer);
  }
  std::optional<StereoLevel> GetWaveVolume() override { return wave; }
  void SetWaveVolume(StereoLevel level) override {
    wave = level;
    wave_writes.push_back(level);
  }

  FakeMixerState mixer;
  std::optional<StereoLevel> wave = StereoLevel{};  // nullopt: unreadable
  std::vector<StereoLevel> wave_writes;
};

}  // namespace pelorin::testing
