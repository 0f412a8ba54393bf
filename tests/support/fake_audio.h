#pragma once
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/audio.h"

namespace pelorin::testing {

// One volume in memory; its levels can be made unreadable.
struct FakeVolume {
  std::optional<StereoLevel> levels = StereoLevel{};  // nullopt: unreadable
  std::vector<StereoLevel> writes;
  int opens = 0;
};

class FakeVolumeControl final : public VolumeControl {
 public:
  FakeVolumeControl(FakeVolume& volume, int& open_now) : volume_(volume), open_now_(open_now) {
    ++volume_.opens;
    ++open_now_;
  }
  ~FakeVolumeControl() override { --open_now_; }
  FakeVolumeControl(const FakeVolumeControl&) = delete;
  FakeVolumeControl& operator=(const FakeVolumeControl&) = delete;

  std::optional<StereoLevel> Levels() override { return volume_.levels; }
  void SetLevels(StereoLevel level) override {
    volume_.levels = level;
    volume_.writes.push_back(level);
  }

 private:
  FakeVolume& volume_;
  int& open_now_;
};

// A playback device and the programs that play on it, each known by one of
// its windows.
class FakeAudio final : public Audio {
 public:
  std::unique_ptr<VolumeControl> OpenDeviceVolume() override {
    if (!device_exists) return nullptr;
    return std::make_unique<FakeVolumeControl>(device, open_now);
  }
  std::unique_ptr<VolumeControl> OpenProgramVolume(WindowId window) override {
    auto it = programs.find(window);
    if (it == programs.end()) return nullptr;
    return std::make_unique<FakeVolumeControl>(it->second, open_now);
  }

  bool device_exists = true;
  FakeVolume device;
  std::map<WindowId, FakeVolume> programs;
  int open_now = 0;  // volumes opened and not yet released
};

}  // namespace pelorin::testing
