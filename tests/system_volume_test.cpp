#include "actions/system_volume.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/fake_audio.h"

namespace pelorin {
namespace {

using testing::FakeAudio;

struct StepCase {
  StereoLevel before;
  std::int16_t step;
  StereoLevel after;
};

class StepVolumeTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepVolumeTest, MovesTheLouderChannelByTheStepAndKeepsTheBalance) {
  StereoLevel level = GetParam().before;
  StepVolume(level, GetParam().step);
  EXPECT_EQ(level, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, StepVolumeTest,
    ::testing::Values(StepCase{{40000, 20000}, 1024, {41024, 20512}},
                      StepCase{{40000, 20000}, -1024, {38976, 19488}},
                      StepCase{{20000, 40000}, 1024, {20512, 41024}},  // mirrored
                      StepCase{{65000, 65000}, 1024, {65535, 65535}},
                      StepCase{{500, 250}, -1024, {0, 0}}, StepCase{{0, 0}, 256, {256, 256}},
                      StepCase{{30000, 0}, 1024, {31024, 0}},  // hard left stays hard left
                      StepCase{{30000, 0}, -256, {29744, 0}},
                      StepCase{{65535, 65534}, 1024, {65535, 65534}},    // clamped: no move
                      StepCase{{65535, 65534}, -32768, {32767, 32767}},  // largest product fits
                      StepCase{{1, 0}, -32768, {0, 0}}));

TEST(StepVolumeTest, QuieterChannelNeverLeavesTheRange) {
  for (int left = 0; left <= 65535; left += 4099) {
    for (int right = 0; right <= left; right += 3001) {
      for (std::int16_t step : {std::int16_t{-32768}, std::int16_t{-1024}, std::int16_t{32767}}) {
        StereoLevel level{static_cast<std::uint16_t>(left), static_cast<std::uint16_t>(right)};
        StepVolume(level, step);
        EXPECT_LE(level.right, level.left) << left << " " << right << " " << step;
      }
    }
  }
}

constexpr WindowId kPlayer = 100;

// Which volume each command steps, and that every volume opened for a step
// is released again.
struct TargetCase {
  const char* name;
  bool master;
  bool player_plays;  // the system keeps a volume for the player's sound
  bool device_written;
  bool player_written;
};

class VolumeTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(VolumeTargetTest, StepsTheVolumeThatIsHeard) {
  FakeAudio audio;
  SystemVolume volume{audio};
  audio.device.levels = StereoLevel{3000, 1500};
  if (GetParam().player_plays) audio.programs[kPlayer].levels = StereoLevel{2000, 2000};
  if (GetParam().master) {
    volume.StepMaster(1024);
  } else {
    volume.StepWave(1024, kPlayer);
  }
  EXPECT_EQ(!audio.device.writes.empty(), GetParam().device_written);
  EXPECT_EQ(!audio.programs[kPlayer].writes.empty(), GetParam().player_written);
  if (GetParam().device_written) {
    EXPECT_EQ(audio.device.levels, (StereoLevel{4024, 2012}));
  }
  EXPECT_EQ(audio.open_now, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, VolumeTargetTest,
    ::testing::Values(TargetCase{"MasterWhilePlayerPlays", true, true, true, false},
                      TargetCase{"WaveWhilePlayerPlays", false, true, false, true},
                      TargetCase{"WaveWithoutPlayerSound", false, false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemVolumeTest, NoDeviceOrUnreadableLevelsSkipTheStep) {
  FakeAudio audio;
  SystemVolume volume{audio};
  audio.device.levels = std::nullopt;
  audio.programs[kPlayer].levels = std::nullopt;
  volume.StepMaster(1024);
  volume.StepWave(1024, kPlayer);
  EXPECT_TRUE(audio.device.writes.empty());
  EXPECT_TRUE(audio.programs[kPlayer].writes.empty());

  audio.device_exists = false;
  volume.StepWave(1024, kNoWindow);
  EXPECT_TRUE(audio.device.writes.empty());
}

}  // namespace
}  // namespace pelorin
