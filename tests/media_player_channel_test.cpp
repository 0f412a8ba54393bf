#include "actions/media_player_channel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/command_dispatcher.h"
#include "support/fake_audio.h"
#include "support/fake_keyboard.h"
#include "support/fake_media_players.h"
#include "support/fake_power.h"
#include "support/fake_shell.h"

namespace pelorin {
namespace {

using ::testing::IsEmpty;
using Calls = std::vector<std::string>;

// Every command through the real dispatcher to a player that plays track
// t12 of 25 at half volume; tracks t0..t9 lie in folder a, t10..t19 in b,
// t20..t24 in c.
struct MappingCase {
  int command;
  Calls calls;
  double volume_after = 0.5;
};

const std::vector<MappingCase>& MappingCases() {
  static const std::vector<MappingCase> cases = {
      {command::kPlay, {"Send Play"}},
      {command::kPause, {"Send Pause"}},
      {command::kStop, {"Send Stop"}},
      {command::kPreviousTrack, {"Send Previous"}},
      {command::kNextTrack, {"Send Next"}},
      {6, {"GoTo t2"}},   // ten tracks back
      {7, {"GoTo t22"}},  // ten tracks forward
      {command::kVolumeUp, {"SetVolume"}, 0.5 + 1.0 / 64},
      {command::kVolumeDown, {"SetVolume"}, 0.5 - 1.0 / 64},
      {command::kVolumeUp8, Calls(8, "SetVolume"), 0.625},
      {command::kVolumeDown8, Calls(8, "SetVolume"), 0.375},
      {command::kMaximalVolume, {"SetVolume"}, 1.0},
      {command::kMinimalVolume, {"SetVolume"}, 0.0},
      {14, {"Seek 5000000"}},
      {15, {"Seek -5000000"}},
      {17, {"Send Stop"}},  // stop with fade-out
      {18, {"GoTo t0"}},
      {19, {"GoTo t24"}},
      {command::kOpenFiles, {"Send Raise"}},
      {27, {"SetShuffle 1"}},
      {28, {"SetLoopStatus Playlist"}},
      {32, {"Send Quit"}},  // close the player
      {command::kPlayPause, {"Send Pause"}},
      {command::kPlayStop, {"Send Stop"}},
      {command::kFadeShutdown, {"Send Stop"}},
      {command::kFadeForceShutdown, {"Send Stop"}},
      {command::kPreviousFolder, {"GoTo t0", "Send Play"}},
      {command::kNextFolder, {"GoTo t20", "Send Play"}}};
  return cases;
}

struct MediaRig {
  MediaRig() {
    for (int i = 0; i < 25; ++i) {
      players.state.tracks.push_back("t" + std::to_string(i));
      const char folder = static_cast<char>('a' + i / 10);
      players.state.urls.push_back(std::string("file:///music/") + folder + "/" +
                                   std::to_string(i) + ".ogg");
    }
    players.state.current = "t12";
  }

  // Fires `command` as a button's single click would, after the cycle's find.
  Calls Fire(int command) {
    settings.Slot(PortRole::Primary, 1).Func1 = static_cast<CommandId>(command);
    dispatcher.SendCommand(channel.FindPlayer(), PortRole::Primary, 1, 1);
    return players.state.calls;
  }

  Settings settings;
  testing::FakeMediaPlayers players;
  testing::FakeAudio audio;
  testing::FakeKeyboard keyboard;
  testing::FakeShell shell;
  testing::FakePower power;
  MediaPlayerChannel channel{players, settings};
  PlaylistFolders playlist{channel};
  SystemVolume volume{audio};
  CommandDispatcher dispatcher{
      DispatcherServices{settings, channel, playlist, volume, keyboard, shell, power, {}}};
};

// Each command acts as its case says, or, without a case, does nothing to
// the player; and the published list of commands not available names
// exactly the player commands (below the system's, 40 on) that do nothing.
TEST(MediaPlayerChannelTest, EveryCommandReachesItsNearestPlayerAction) {
  const std::vector<CommandId> not_available = CommandsNotAvailableOnMediaPlayers();
  const auto& cases = MappingCases();
  for (int command = 0; command <= command::kSliderSlide; ++command) {
    SCOPED_TRACE("command " + std::to_string(command));
    MediaRig rig;
    const Calls calls = rig.Fire(command);
    const auto expected = std::find_if(cases.begin(), cases.end(),
                                       [&](const MappingCase& c) { return c.command == command; });
    const bool listed = std::count(not_available.begin(), not_available.end(), command) > 0;
    if (expected == cases.end()) {
      EXPECT_THAT(calls, IsEmpty());
      const bool player_command =
          command != command::kNothing &&
          (command < command::kWinVolumeUp || command == command::kSliderSlide);
      EXPECT_EQ(listed, player_command);
      continue;
    }
    EXPECT_EQ(calls, expected->calls);
    EXPECT_DOUBLE_EQ(rig.players.state.volume, expected->volume_after);
    EXPECT_FALSE(listed) << "a command that acts is listed as not available";
  }
}

TEST(MediaPlayerChannelTest, PinnedPlayerIsAskedForAtEveryFindAndAbsenceSendsNothing) {
  MediaRig rig;
  rig.settings.Linux.Player = "vlc";
  rig.players.running = false;
  EXPECT_THAT(rig.Fire(command::kPlay), IsEmpty());
  rig.players.running = true;
  rig.players.state.playback = MediaPlayback::Paused;
  EXPECT_EQ(rig.channel.State(rig.channel.FindPlayer()), PlayerState::Paused);
  EXPECT_THAT(rig.players.pinned_asked, ::testing::ElementsAre("vlc", "vlc"));
}

// "Wave" steps go to the sound of the player's process, not to the device.
TEST(MediaPlayerChannelTest, WaveStepsReachThePlayersProcess) {
  MediaRig rig;
  rig.audio.programs[4242];
  rig.Fire(command::kWinVolumeUp + 4);  // the first "wave" step
  EXPECT_EQ(rig.audio.programs[4242].writes.size(), 1u);
  EXPECT_TRUE(rig.audio.device.writes.empty());
}

}  // namespace
}  // namespace pelorin
