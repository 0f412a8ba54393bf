#include "actions/system_volume.h"

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

std::uint32_t FindMasterVolumeControl(MixerDevice& mixer) {
  const std::uint32_t count = mixer.DestinationCount().value_or(0);
  for (std::uint32_t index = 0; index < count; ++index) {
    std::optional<MixerLine> line = mixer.Destination(index);
    if (!line || line->component_type != kSpeakersComponentType) continue;
    std::optional<MixerLine> speakers = mixer.LineByComponentType(kSpeakersComponentType);
    if (!speakers) return 0;
    return mixer.VolumeControl(speakers->line_id).value_or(0);
  }
  return 0;
}

void SystemVolume::Open() {
  mixer_ = audio_.OpenMixer();
  if (mixer_) master_control_id_ = FindMasterVolumeControl(*mixer_);
}

std::optional<StereoLevel> SystemVolume::GetMasterVolume() {
  std::unique_ptr<MixerDevice> mixer = audio_.OpenMixer();
  if (!mixer) return std::nullopt;
  return mixer->GetLevels(master_control_id_);
}

void SystemVolume::SetMasterVolume(StereoLevel level) {
  // Without a mixer there is nothing to set; that is not reported.
  if (std::unique_ptr<MixerDevice> mixer = audio_.OpenMixer()) {
    mixer->SetLevels(master_control_id_, level);
  }
}

void SystemVolume::StepMaster(std::int16_t step) {
  std::optional<StereoLevel> level = GetMasterVolume();
  if (!level) return;
  StepVolume(*level, step);
  SetMasterVolume(*level);
}

void SystemVolume::StepWave(std::int16_t step) {
  std::optional<StereoLevel> level = GetWaveVolume();
  if (!level) return;
  StepVolume(*level, step);
  SetWaveVolume(*level);
}

}  // namespace pelorin
