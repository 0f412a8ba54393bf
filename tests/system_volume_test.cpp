#include "actions/system_volume.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

class MasterVolumeTest : public ::testing::Test {
 protected:
  FakeAudio audio;
  SystemVolume volume{audio};
};

TEST_F(MasterVolumeTest, FindsTheVolumeControlOfTheFirstSpeakersLine) {
  audio.mixer.destinations = {{1, 5}, {2, kSpeakersComponentType}, {3, kSpeakersComponentType}};
  audio.mixer.volume_control_of_line = {{2, 20}, {3, 30}};
  volume.Open();
  EXPECT_EQ(volume.MasterVolumeControlId(), 20u);
}

TEST_F(MasterVolumeTest, ControlIsZeroWithoutSpeakersLineOrMixer) {
  audio.mixer.destinations = {{1, 5}};
  volume.Open();
  EXPECT_EQ(volume.MasterVolumeControlId(), 0u);

  FakeAudio no_mixer;
  no_mixer.mixer.exists = false;
  SystemVolume without(no_mixer);
  without.Open();
  EXPECT_EQ(without.MasterVolumeControlId(), 0u);
}

TEST_F(MasterVolumeTest, EveryStepUsesAFreshMixerHandleAndClosesIt) {
  volume.Open();  // the start-up handle stays open
  const int opens = audio.mixer.opens;
  volume.StepMaster(256);
  EXPECT_EQ(audio.mixer.opens, opens + 2);  // one to read, one to write
  EXPECT_EQ(audio.mixer.open_now, 1);
}

TEST_F(MasterVolumeTest, UnreadableLevelsSkipTheStep) {
  audio.mixer.fail_levels = true;
  volume.StepMaster(1024);
  EXPECT_TRUE(audio.mixer.writes.empty());

  audio.wave = std::nullopt;
  volume.StepWave(1024);
  EXPECT_TRUE(audio.wave_writes.empty());
}

}  // namespace
}  // namespace pelorin
