#include "actions/system_volume.h"

#include <memory>
#include <optional>

namespace pelorin {
namespace {

constexpr int kMaxLevel = 65535;

int AddStep(int level, int step) {
  if (step > 0) return level > kMaxLevel - step ? kMaxLevel : level + step;
  return level < -step ? 0 : level + step;
}

// Moves `louder` by the step and `quieter` by the same proportion of itself.
// Same-typed on purpose: the two channels, named by what happens to each.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void StepKeepingBalance(std::uint16_t& louder, std::uint16_t& quieter, int step) {
  const int old = louder;
  const int moved = AddStep(old, step);
  // The 32-bit product divided in floating point and truncated toward zero;
  // old > quieter >= 0 here, so there is no division by zero and the result
  // stays within 0..65535.
  const std::int32_t product = (moved - old) * static_cast<std::int32_t>(quieter);
  const int delta = static_cast<int>(static_cast<double>(product) / old);
  louder = static_cast<std::uint16_t>(moved);
  quieter = static_cast<std::uint16_t>(quieter + delta);
}

}  // namespace

void StepVolume(StereoLevel& level, std::int16_t step) {
  if (level.left == level.right) {
    level.left = static_cast<std::uint16_t>(AddStep(level.left, step));
    level.right = level.left;
  } else if (level.left > level.right) {
    StepKeepingBalance(level.left, level.right, step);
  } else {
    StepKeepingBalance(level.right, level.left, step);
  }
}

namespace {

// Reads, steps and writes one volume; nothing happens without a volume or
// when its levels cannot be read.
void StepControl(VolumeControl* control, std::int16_t step) {
  if (control == nullptr) return;
  std::optional<StereoLevel> level = control->Levels();
  if (!level) return;
  StepVolume(*level, step);
  control->SetLevels(*level);
}

}  // namespace

void SystemVolume::StepMaster(std::int16_t step) {
  StepControl(audio_.OpenDeviceVolume().get(), step);
}

void SystemVolume::StepWave(std::int16_t step, WindowId player) {
  // A player that plays nothing at the moment has no sound of its own on the
  // device yet: the step then goes to the device, which it will be heard on.
  std::unique_ptr<VolumeControl> control = audio_.OpenProgramVolume(player);
  if (!control) control = audio_.OpenDeviceVolume();
  StepControl(control.get(), step);
}

}  // namespace pelorin
