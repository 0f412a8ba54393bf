#include "actions/command_dispatcher.h"
#include "actions/winamp_channel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_audio.h"
#include "support/fake_keyboard.h"
#include "support/fake_power.h"
#include "support/fake_shell.h"
#include "support/fake_text_files.h"
#include "support/fake_window_messaging.h"
#include "support/player_message_cases.h"

namespace pelorin {
namespace {

using testing::FakeAudio;
using testing::FakeKeyboard;
using testing::FakePower;
using testing::FakeShell;
using testing::FakeTextFiles;
using testing::FakeWindowMessaging;
using How = FakeWindowMessaging::How;
using Message = FakeWindowMessaging::Message;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr WindowId kPlayer = 100;
constexpr WindowId kEditor = 200;
constexpr WindowId kSlider = 300;

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() {
    player.UsePlaylistFiles({"C:\\Winamp\\winamp.m3u"});
    messaging.answer = [this](const Message& m) -> std::intptr_t {
      return m.message == kWmUser && m.lparam == kPlayerStatusQuery ? status : 0;
    };
    messaging.SetWindow(kPlayerWindowClass, kPlayer);
  }

  // Assigns `command` to slot 2 of button 4 of port 2 and fires that event.
  void Fire(CommandId command, WindowId player = kPlayer) {
    settings.Slot(PortRole::Secondary, 4).Func2 = command;
    dispatcher.SendCommand(player, PortRole::Secondary, 4, 2);
  }

  Settings settings;
  FakeWindowMessaging messaging;
  FakeTextFiles files;
  FakeAudio audio;
  FakeKeyboard keyboard;
  FakeShell shell;
  FakePower power;
  WinampChannel player{messaging, files};
  PlaylistFolders playlist{player};
  SystemVolume volume{audio};
  std::vector<std::string> events;  // settings stores and shut downs, in order
  CommandDispatcher dispatcher{DispatcherServices{settings, player, playlist, volume, keyboard,
                                                  shell, power,
                                                  [this] { events.push_back("write settings"); }}};
  std::intptr_t status = kStatusPaused;
};

class EveryCommandTest : public DispatcherTest,
                         public ::testing::WithParamInterface<testing::CommandCase> {};

TEST_P(EveryCommandTest, SendsExactlyTheListedMessages) {
  messaging.SetWindow(kPlaylistWindowClass, kEditor);
  messaging.SetWindow(kSliderWindowClass, kSlider);
  Fire(static_cast<CommandId>(GetParam().command));

  std::vector<Message> expected;
  for (const testing::ExpectedMessage& m : GetParam().messages) {
    const WindowId window = m.target == testing::Target::Player           ? kPlayer
                            : m.target == testing::Target::PlaylistEditor ? kEditor
                                                                          : kSlider;
    expected.push_back({window, m.message, m.wparam, m.lparam, m.how});
  }
  EXPECT_EQ(messaging.messages, expected);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryCommandTest,
                         ::testing::ValuesIn(testing::PlayerMessageCases()), [](const auto& info) {
                           return "Id" + std::to_string(info.param.command);
                         });

TEST_F(DispatcherTest, ToggleCommandsPauseOrStopOnlyWhilePlaying) {
  status = kStatusPlaying;
  Fire(command::kPlayPause);
  Fire(command::kPlayStop);
  status = kStatusStopped;
  Fire(command::kPlayPause);
  EXPECT_THAT(messaging.messages, ElementsAre(Message{kPlayer, kWmUser, 0, 104, How::Sent},
                                              Message{kPlayer, kWmCommand, 40046, 0, How::Posted},
                                              Message{kPlayer, kWmUser, 0, 104, How::Sent},
                                              Message{kPlayer, kWmCommand, 40047, 0, How::Posted},
                                              Message{kPlayer, kWmUser, 0, 104, How::Sent},
                                              Message{kPlayer, kWmCommand, 40045, 0, How::Posted}));
}

TEST_F(DispatcherTest, OpenFileDialogBringsThePlayerForwardFirst) {
  Fire(22);
  EXPECT_THAT(messaging.foreground, ElementsAre(kPlayer));
}

TEST_F(DispatcherTest, AddFilesWithoutPlaylistEditorDoesNothingAtAll) {
  Fire(command::kAddFiles);
  EXPECT_THAT(messaging.messages, IsEmpty());
  EXPECT_THAT(messaging.foreground, IsEmpty());
}

TEST_F(DispatcherTest, AddFilesBringsTheEditorForwardBeforeItsKey) {
  messaging.SetWindow(kPlaylistWindowClass, kEditor);
  Fire(command::kAddFiles);
  EXPECT_THAT(messaging.foreground, ElementsAre(kEditor));
}

TEST_F(DispatcherTest, SlideWithoutSliderWindowDoesNothing) {
  Fire(command::kSliderSlide);
  EXPECT_THAT(messaging.messages, IsEmpty());
}

struct ShutdownCase {
  CommandId command;
  std::uint32_t flags;
  bool stores_settings;
  bool fades_out;
};

class ShutdownTest : public DispatcherTest, public ::testing::WithParamInterface<ShutdownCase> {
 protected:
  void SetUp() override {
    // The fade-out returns before the settings are stored and Windows ends.
    messaging.answer = [this](const Message&) -> std::intptr_t {
      events.push_back("fade out");
      return 0;
    };
  }
};

TEST_P(ShutdownTest, StoresSettingsOnlyBeforeForcedVariantsAndAfterTheFadeOut) {
  Fire(GetParam().command);
  std::vector<std::string> expected;
  if (GetParam().fades_out) expected.push_back("fade out");
  if (GetParam().stores_settings) expected.push_back("write settings");
  EXPECT_EQ(events, expected);
  EXPECT_THAT(power.exits, ElementsAre(GetParam().flags));
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ShutdownTest,
    // EWX_POWEROFF 0x8, EWX_REBOOT 0x2; the forced variants add EWX_FORCEIFHUNG 0x10.
    ::testing::Values(ShutdownCase{36, 0x8, false, true}, ShutdownCase{37, 0x18, true, true},
                      ShutdownCase{48, 0x8, false, false}, ShutdownCase{49, 0x18, true, false},
                      ShutdownCase{50, 0x2, false, false}, ShutdownCase{51, 0x12, true, false}));

TEST_F(DispatcherTest, ForcedFadeOutWithoutPlayerStoresAndShutsDownAtOnce) {
  Fire(command::kFadeForceShutdown, kNoWindow);
  EXPECT_THAT(messaging.messages, IsEmpty());
  EXPECT_THAT(events, ElementsAre("write settings"));
  EXPECT_THAT(power.exits, ElementsAre(0x18u));
}

TEST_F(DispatcherTest, PlayerCommandsWithoutPlayerReachNobody) {
  for (int command = 0; command < 40; ++command) Fire(static_cast<CommandId>(command), kNoWindow);
  EXPECT_THAT(messaging.messages, IsEmpty());
  EXPECT_THAT(power.exits, ElementsAre(0x8u, 0x18u));  // only the shut downs of 36 and 37
}

TEST_F(DispatcherTest, KeyboardButtonPressesTheKeyOfTheFiredSlot) {
  settings.Slot(PortRole::Secondary, 4).Key1 = 'X';
  settings.Slot(PortRole::Secondary, 4).Key2 = kKeyShift | 'Y';
  Fire(command::kKeyboardButton);
  using Event = FakeKeyboard::Event;
  EXPECT_THAT(keyboard.events, ElementsAre(Event{0x10, false}, Event{'Y', false}, Event{'Y', true},
                                           Event{0x10, true}));
}

TEST_F(DispatcherTest, StartFileStartsTheExecTextOfTheFiredSlot) {
  settings.Slot(PortRole::Secondary, 4).Exec2 = "\"C:\\Tools\\app.exe\" -x";
  settings.Slot(PortRole::Secondary, 4).Exec3 = "\"C:\\Other\\no.exe\"";
  Fire(command::kStartFile);
  EXPECT_THAT(shell.starts,
              ElementsAre(FakeShell::Start{"app.exe", " -x", "C:\\Tools", kShowNormal}));
}

TEST_F(DispatcherTest, WaveVolumeCommandsStepTheSoundOfThePlayerTheyWereSentTo) {
  audio.programs[kPlayer].levels = StereoLevel{1000, 1000};
  audio.programs[kEditor].levels = StereoLevel{500, 500};
  Fire(44);
  Fire(47);
  EXPECT_THAT(audio.programs[kPlayer].writes,
              ElementsAre(StereoLevel{2024, 2024}, StereoLevel{1768, 1768}));
  EXPECT_TRUE(audio.programs[kEditor].writes.empty());
  EXPECT_TRUE(audio.device.writes.empty());
}

TEST_F(DispatcherTest, MasterVolumeCommandsStepTheDeviceNotThePlayer) {
  audio.device.levels = StereoLevel{3000, 3000};
  audio.programs[kPlayer].levels = StereoLevel{1000, 1000};
  Fire(41);
  Fire(42);
  EXPECT_EQ(audio.device.levels, (StereoLevel{2232, 2232}));
  EXPECT_TRUE(audio.programs[kPlayer].writes.empty());
}

}  // namespace
}  // namespace pelorin
