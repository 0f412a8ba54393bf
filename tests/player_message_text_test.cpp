#include "support/player_message_text.h"

#include <gtest/gtest.h>

#include "actions/command_catalogue.h"
#include "actions/player_channel.h"

namespace pelorin::testing {
namespace {

struct TextCase {
  const char* what;
  ReceivedMessage received;
  int count;
  const char* words;
};

class PlayerMessageTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PlayerMessageTextTest, DescribesWhatTheDemoShows) {
  const TextCase& c = GetParam();
  EXPECT_EQ(DescribeBurst(c.received, c.count), c.words);
}

ReceivedMessage Command(std::uintptr_t id) {
  return {Target::Player, kWmCommand, id, 0};
}
ReceivedMessage Request(std::uintptr_t wparam, std::intptr_t request) {
  return {Target::Player, kWmUser, wparam, request};
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PlayerMessageTextTest,
    ::testing::Values(
        TextCase{"NextTrack", Command(40048), 1, "Next track"},
        // Each volume message is one step: "Volume 1/8 up" shows as its eight.
        TextCase{"VolumeUpIsOneStep", Command(40058), 1, "Volume up (one step)"},
        TextCase{"EightVolumeUpsAreEightSteps", Command(40058), 8, "Volume up (8 steps)"},
        TextCase{"EightVolumeDownsAreEightSteps", Command(40059), 8, "Volume down (8 steps)"},
        TextCase{"OtherBurstsAreCounted", Command(40048), 3, "Next track (x3)"},
        TextCase{"OddVolumeBurstIsCountedInSteps", Command(40058), 9, "Volume up (9 steps)"},
        TextCase{"SharedCommandListsEverySender", Command(40147), 1,
                 "Stop with fadeout / Fadeout + shut down / Fadeout + force shutdown"},
        TextCase{"MaximalVolume", Request(255, kPlayerSetVolume), 1, "Maximal volume"},
        TextCase{"OtherVolumeIsNumbers", Request(17, kPlayerSetVolume), 1,
                 "Message 1024 (17, 122) to the player"},
        TextCase{"StatusQuery", Request(0, kPlayerStatusQuery), 1, "Status query"},
        TextCase{"WritePlaylistServesThreeCommands", Request(0, kPlayerWritePlaylist), 1,
                 "Write playlist file"},
        TextCase{"SelectEntryShowsTheEntry", Request(41, kPlayerSelectEntry), 1,
                 "Select playlist entry 41"},
        TextCase{"AddFilesKeyToTheEditor",
                 ReceivedMessage{Target::PlaylistEditor, kWmKeyDown, kPlaylistAddKey, 0}, 1,
                 "Add file(s) to playlist"},
        TextCase{"SlideToTheSlider", ReceivedMessage{Target::Slider, kSliderSlideMessage, 1, 0}, 1,
                 "Slider: Slide"},
        TextCase{"UnknownCommandIsNumbers", Command(12345), 1,
                 "Message 273 (12345, 0) to the player"},
        TextCase{"SameIdToAnotherWindowIsNotTheCommand",
                 ReceivedMessage{Target::Slider, kWmCommand, 40048, 0}, 1,
                 "Message 273 (40048, 0) to the slider"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.what; });

// Every command that sends one message of its own is known by its own name,
// so a demo never shows a command under another one's name.
TEST(PlayerMessageText, EveryOneMessageCommandIsNamedByItself) {
  for (const CommandCase& c : PlayerMessageCases()) {
    if (c.messages.size() != 1 || c.messages[0].message != kWmCommand) continue;
    const ExpectedMessage& m = c.messages[0];
    const std::string words = DescribePlayerMessage({m.target, m.message, m.wparam, m.lparam});
    EXPECT_NE(words.find(kCommandNames[c.command]), std::string::npos)
        << "command " << c.command << " shown as " << words;
  }
}

}  // namespace
}  // namespace pelorin::testing
