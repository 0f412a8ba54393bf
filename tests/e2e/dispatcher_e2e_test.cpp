// The real dispatcher with the real Win32 window messaging against the
// stand-in player in a process of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "actions/command_dispatcher.h"
#include "actions/winamp_channel.h"
#include "platform/win32/text_files.h"
#include "platform/win32/window_messaging.h"
#include "stand_in_player_client.h"
#include "support/fake_audio.h"
#include "support/fake_keyboard.h"
#include "support/fake_power.h"
#include "support/fake_shell.h"
#include "support/player_message_cases.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using testing::StandInPlayer;
using testing::TempFolder;

// What the stand-in records for one expected message.
std::string LogLine(const testing::ExpectedMessage& m) {
  const char* window = m.target == testing::Target::Player           ? "player"
                       : m.target == testing::Target::PlaylistEditor ? "editor"
                                                                     : "slider";
  const bool posted = m.how == testing::FakeWindowMessaging::How::Posted;
  std::ostringstream line;
  line << window << (posted ? " posted " : " sent ") << m.message << " " << m.wparam << " "
       << m.lparam;
  return line.str();
}

// A receiver handles messages sent to it before messages posted to it
// earlier, so the stand-in may record a query ahead of a selection posted
// just before it. The order of the calls themselves is checked with fakes;
// here the sent and the posted messages are each compared in order.
struct SentAndPosted {
  std::vector<std::string> sent;
  std::vector<std::string> posted;
  bool operator==(const SentAndPosted&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const SentAndPosted& s) {
    out << "sent:";
    for (const std::string& line : s.sent) out << " [" << line << "]";
    out << " posted:";
    for (const std::string& line : s.posted) out << " [" << line << "]";
    return out;
  }
};

SentAndPosted Split(const std::vector<std::string>& lines) {
  SentAndPosted split;
  for (const std::string& line : lines) {
    (line.find(" posted ") != std::string::npos ? split.posted : split.sent).push_back(line);
  }
  return split;
}

// The dispatcher wired to the real window messaging and text files, with
// fakes for everything that would touch the machine.
struct Wiring {
  explicit Wiring(const std::string& playlist_dir, unsigned send_timeout_ms = 5000)
      : messaging(send_timeout_ms), player(messaging, files) {
    player.UsePlaylistFiles(PlaylistFileCandidates(playlist_dir, ""));
  }

  win32::Win32WindowMessaging messaging;
  win32::Win32TextFiles files;
  testing::FakeAudio audio;
  testing::FakeKeyboard keyboard;
  testing::FakeShell shell;
  testing::FakePower power;
  Settings settings;
  WinampChannel player;
  PlaylistFolders playlist{player};
  SystemVolume volume{audio};
  int settings_written = 0;
  CommandDispatcher dispatcher{DispatcherServices{settings, player, playlist, volume, keyboard,
                                                  shell, power, [this] { ++settings_written; }}};

  void Fire(CommandId command) {
    settings.Slot(PortRole::Primary, 1).Func1 = command;
    dispatcher.SendCommand(player.FindPlayer(), PortRole::Primary, 1, 1);
  }
};

class EveryCommandE2eTest : public ::testing::TestWithParam<testing::CommandCase> {
 protected:
  static void SetUpTestSuite() {
    folder = new TempFolder();
    stand_in = new StandInPlayer({.editor = true, .slider = true, .status = 3});
  }
  static void TearDownTestSuite() {
    delete stand_in;
    delete folder;
  }
  static TempFolder* folder;
  static StandInPlayer* stand_in;
};
TempFolder* EveryCommandE2eTest::folder = nullptr;
StandInPlayer* EveryCommandE2eTest::stand_in = nullptr;

TEST_P(EveryCommandE2eTest, PlayerReceivesExactlyTheListedMessages) {
  ASSERT_TRUE(stand_in->Started());
  Wiring wiring(folder->path());
  wiring.Fire(static_cast<CommandId>(GetParam().command));
  ASSERT_TRUE(stand_in->Sync());

  std::vector<std::string> expected;
  for (const testing::ExpectedMessage& m : GetParam().messages) expected.push_back(LogLine(m));
  EXPECT_EQ(Split(stand_in->TakeNew()), Split(expected));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryCommandE2eTest,
                         ::testing::ValuesIn(testing::PlayerMessageCases()), [](const auto& info) {
                           return "Id" + std::to_string(info.param.command);
                         });

// A playing stand-in player and a folder for the playlist file.
class DispatcherE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(stand_in.Started()); }

  TempFolder folder;
  StandInPlayer stand_in{{.status = 1}};
};

TEST_F(DispatcherE2eTest, AddFilesWithoutPlaylistEditorSendsNothing) {
  Wiring wiring(folder.path());
  wiring.Fire(command::kAddFiles);
  wiring.Fire(command::kSliderSlide);
  ASSERT_TRUE(stand_in.Sync());
  EXPECT_THAT(stand_in.Log(), ElementsAre());
}

TEST_F(DispatcherE2eTest, PlayPauseWhilePlayingPauses) {
  Wiring wiring(folder.path());
  wiring.Fire(command::kPlayPause);
  ASSERT_TRUE(stand_in.Sync());
  EXPECT_THAT(stand_in.Log(), ElementsAre("player sent 1024 0 104", "player posted 273 40046 0"));
}

TEST_F(DispatcherE2eTest, HungPlayerReadsAsStoppedInsteadOfFreezingTheCaller) {
  Wiring wiring(folder.path(), /*send_timeout_ms=*/200);
  stand_in.Hang(3000);
  wiring.Fire(command::kPlayPause);  // returns although the player does not answer
  ASSERT_TRUE(stand_in.Sync());
  const std::vector<std::string> log = stand_in.Log();
  EXPECT_THAT(log, ::testing::Contains("player posted 273 40045 0"));
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("player posted 273 40046 0")));
}

std::string PlaylistInFolders(const std::vector<std::string>& folders) {
  std::string text = "#EXTM3U\r\n";
  for (std::size_t i = 0; i < folders.size(); ++i) {
    text += "#EXTINF:200,Track " + std::to_string(i) + "\r\nD:\\Music\\" + folders[i] + "\\track" +
            std::to_string(i) + ".mp3\r\n";
  }
  return text;
}

struct JumpCase {
  CommandId command;
  int position;
  int status;
  std::vector<std::string> after_write;  // the log after the write request
};

class FolderJumpE2eTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(FolderJumpE2eTest, ReadsThePlaylistThePlayerWroteAndSelectsTheTarget) {
  TempFolder folder;
  const std::string source =
      folder.Write("source.m3u", PlaylistInFolders({"a", "a", "b", "b", "b"}));
  StandInPlayer stand_in({.status = GetParam().status,
                          .position = GetParam().position,
                          .playlist = source,
                          .playlist_dir = folder.path()});
  ASSERT_TRUE(stand_in.Started());
  Wiring wiring(folder.path());
  wiring.Fire(GetParam().command);
  ASSERT_TRUE(stand_in.Sync());

  std::vector<std::string> expected{"player sent 1024 0 120", "player sent 1024 0 125"};
  expected.insert(expected.end(), GetParam().after_write.begin(), GetParam().after_write.end());
  EXPECT_EQ(Split(stand_in.Log()), Split(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, FolderJumpE2eTest,
    ::testing::Values(
        JumpCase{
            command::kNextFolder,
            1,
            1,
            {"player posted 1024 2 121", "player sent 1024 0 104", "player posted 273 40045 0"}},
        JumpCase{
            command::kPreviousFolder,
            3,
            3,
            {"player posted 1024 0 121", "player sent 1024 0 104", "player posted 273 40045 0"}},
        JumpCase{
            command::kNextFolder, 0, 0, {"player posted 1024 2 121", "player sent 1024 0 104"}},
        JumpCase{command::kNextFolder, 3, 1, {}}, JumpCase{command::kPreviousFolder, 1, 1, {}}));

}  // namespace
}  // namespace pelorin
