// Faults of the outside world while the whole program runs: lines that stop
// answering, a player that hangs, a registry that refuses access, a disk that
// will not take the settings, no sound card, a playlist that goes away. The
// program carries on quietly in each case, as a resident program must.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "actions/command_catalogue.h"
#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::FakeWindowMessaging;
using testing::ProgramRig;

constexpr std::uintptr_t kNextTrack = 40048;

// Button 1 of port 1 jumps to the next folder, button 2 raises the Windows
// volume, button 3 skips to the next track: all on the press.
std::string Buttons(const std::string& primary_extra = "") {
  return "[Primary]\r\nPort=1\r\n" + primary_extra +
         "[Port1Button1]\r\nMode=1\r\nFunc1=39\r\n"
         "[Port1Button2]\r\nMode=1\r\nFunc1=40\r\n"
         "[Port1Button3]\r\nMode=1\r\nFunc1=5\r\nFunc2=0\r\n";
}
const std::string kButtons = Buttons();
// The same with the port's return not watched for: a lost port then stays as
// it is until the user applies (tests/port_reconnect_test.cpp has the rest).
const std::string kButtonsWithoutReconnect = kButtons + "[Options]\r\nReconnect=0\r\n";

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override { rig_.files.files[ProgramRig::kIni] = kButtons; }

  int Count(std::uint32_t message, std::uintptr_t wparam) const {
    return static_cast<int>(std::count_if(rig_.messaging.messages.begin(),
                                          rig_.messaging.messages.end(),
                                          [&](const FakeWindowMessaging::Message& m) {
                                            return m.message == message && m.wparam == wparam;
                                          }));
  }
  int NextTracks() const { return Count(kWmCommand, kNextTrack); }
  int Selections(std::uintptr_t entry) const {
    return static_cast<int>(std::count(
        rig_.messaging.messages.begin(), rig_.messaging.messages.end(),
        FakeWindowMessaging::Message{ProgramRig::kPlayer, kWmUser, entry, kPlayerSelectEntry,
                                     FakeWindowMessaging::How::Posted}));
  }
  void Press(int button) {
    rig_.Hold(PortRole::Primary, button);
    rig_.Tick();
    rig_.Release(PortRole::Primary, button);
    rig_.Tick();
  }

  ProgramRig rig_;
};

TEST_F(FaultTest, StatusReadFailingMidRunReadsAsReleasedAndRecovers) {
  rig_.files.files[ProgramRig::kIni] = kButtonsWithoutReconnect;
  rig_.Start();
  rig_.Hold(PortRole::Primary, 3);
  rig_.RunFor(100);
  ASSERT_EQ(NextTracks(), 1);

  rig_.ports.Port(1).status_read_fails = true;
  rig_.RunFor(5000);
  EXPECT_EQ(NextTracks(), 1) << "a failing read is no press";
  EXPECT_TRUE(rig_.boxes.shown.empty());
  EXPECT_TRUE(rig_.program->Primary().IsOpen());

  // The line is still held when reads work again: that is a new press.
  rig_.ports.Port(1).status_read_fails = false;
  rig_.RunFor(100);
  EXPECT_EQ(NextTracks(), 2);
  rig_.Release(PortRole::Primary, 3);
  rig_.RunFor(100);
  Press(3);
  EXPECT_EQ(NextTracks(), 3);
}

// Reads failing every other cycle while a button is held: every recovered
// read is a press again, but nothing else is sent and no box is shown.
TEST_F(FaultTest, FlickeringReadsSendOnePressPerRecovery) {
  rig_.files.files[ProgramRig::kIni] = kButtonsWithoutReconnect;
  rig_.Start();
  rig_.Hold(PortRole::Primary, 3);
  for (int i = 0; i < 40; ++i) {
    rig_.ports.Port(1).status_read_fails = (i % 2) == 1;
    rig_.Tick();
  }
  EXPECT_EQ(NextTracks(), 20);
  EXPECT_TRUE(rig_.boxes.shown.empty());
}

TEST_F(FaultTest, UnpluggedAdapterShowsNoBoxUntilTheUserApplies) {
  rig_.files.files[ProgramRig::kIni] = kButtonsWithoutReconnect;
  rig_.Start();
  rig_.Hold(PortRole::Primary, 3);
  rig_.Tick();
  rig_.ports.Port(1).exists = false;  // unplugged with the button held
  rig_.RunFor(10 * 60 * 1000);
  for (int i = 0; i < 50; ++i) rig_.program->OnTimer(WindowTimer::LedTimer);
  EXPECT_EQ(NextTracks(), 1);
  EXPECT_TRUE(rig_.boxes.shown.empty()) << "no box storm from the poll cycle or the LEDs";
  EXPECT_EQ(rig_.ports.open_requests.size(), 1u) << "no reopening behind the user's back";

  // The user's Apply reopens the port: one box for the one failed open.
  rig_.program->OnUserMessage(kShowRequest, 0);
  rig_.program->Properties().ApplyClicked();
  ASSERT_EQ(rig_.boxes.shown.size(), 1u);
  EXPECT_NE(rig_.boxes.shown[0].text.find("Error opening COM1"), std::string::npos);
  rig_.RunFor(1000);
  EXPECT_EQ(rig_.boxes.shown.size(), 1u);

  // Plugged in again, the next Apply opens it and buttons work.
  rig_.ports.Port(1).exists = true;
  rig_.program->Properties().ApplyClicked();
  EXPECT_TRUE(rig_.program->Primary().IsOpen());
  rig_.Release(PortRole::Primary, 3);
  rig_.RunFor(100);
  Press(3);
  EXPECT_EQ(NextTracks(), 2);
}

// A hung player answers nothing (every sent message returns 0): queries
// read as stopped at position 0, commands are still sent, and nothing is
// started or asked.
TEST_F(FaultTest, HungPlayerAnswersZeroAndTheProgramCarriesOn) {
  rig_.files.files[ProgramRig::kIni] = Buttons("LED=0\r\nLEDwhen=2\r\n");  // LED on while playing
  rig_.text_files.files[ProgramRig::kPlaylist].text = "#EXTM3U\r\nD:\\a\\1.mp3\r\nD:\\b\\2.mp3\r\n";
  rig_.Start();
  rig_.messaging.answer = [](const FakeWindowMessaging::Message&) { return 0; };
  for (int i = 0; i < 20; ++i) {
    Press(1);
    Press(3);
    rig_.program->OnTimer(WindowTimer::LedTimer);
  }
  EXPECT_EQ(NextTracks(), 20);
  EXPECT_EQ(Selections(1), 20) << "position 0 in folder a: next folder selects entry 1";
  EXPECT_TRUE(rig_.boxes.shown.empty());
  EXPECT_TRUE(rig_.shell.starts.empty());
  EXPECT_FALSE(rig_.ports.Port(1).rts) << "a player that says nothing is not playing";
  EXPECT_EQ(rig_.text_files.open_now, 0);
}

// Every registry key refuses access: the program starts from its default
// configuration file, runs, and ends with the file written.
TEST_F(FaultTest, RegistryDenyingAccessEverywhereStillStartsRunsAndSaves) {
  rig_.registry.refuse_all = true;
  rig_.files.files[ProgramRig::kIni] = kButtons;
  rig_.Start();
  EXPECT_TRUE(rig_.program->Primary().IsOpen());
  EXPECT_TRUE(rig_.window.tray_icon);
  Press(3);
  EXPECT_EQ(NextTracks(), 1);
  rig_.program->OnTrayMenu(TrayMenuItem::Exit);
  EXPECT_TRUE(rig_.window.loop_ended);
  EXPECT_TRUE(rig_.registry.keys.empty());
  EXPECT_NE(rig_.files.files[ProgramRig::kIni].find("[Port2Button15]"), std::string::npos)
      << "the settings still reach the file";
}

TEST_F(FaultTest, RegistryRefusingWritesLeavesLegacyValuesAndRunsOn) {
  rig_.registry.Set(RegistryRoot::CurrentUser, "Software\\Tarvesk\\Pelorin", "COMport", 4u);
  rig_.registry.writes_fail = true;
  rig_.Start();
  Press(3);
  rig_.program->OnTrayMenu(TrayMenuItem::Exit);
  EXPECT_EQ(NextTracks(), 1);
  EXPECT_TRUE(rig_.window.loop_ended);
  EXPECT_TRUE(rig_.boxes.shown.empty());
}

struct SaveFault {
  const char* name;
  std::function<void(testing::FakeFileSystem&)> inject;
};

class SaveFaultTest : public FaultTest, public ::testing::WithParamInterface<SaveFault> {};

// Whatever stops the save at the program's end, the previous file stays
// whole, and the end runs through: tray icon gone, LEDs dark, loop ended.
// The user hears of the first failed save of the run only, with the file and
// the reason.
TEST_P(SaveFaultTest, PreviousFileSurvivesEveryProgramEnd) {
  rig_.Start();
  const std::string previous = rig_.files.files[ProgramRig::kIni];
  GetParam().inject(rig_.files);
  rig_.program->OnUserMessage(kShowRequest, 0);
  rig_.program->Properties().ApplyClicked();
  rig_.program->OnTrayMenu(TrayMenuItem::Exit);
  EXPECT_EQ(rig_.files.files[ProgramRig::kIni], previous);
  EXPECT_TRUE(rig_.window.loop_ended);
  EXPECT_FALSE(rig_.window.tray_icon);
  EXPECT_FALSE(rig_.ports.Port(1).rts);
  ASSERT_EQ(rig_.boxes.shown.size(), 1u);
  const std::string& text = rig_.boxes.shown[0].text;
  EXPECT_NE(text.find(std::string("\r\n") + ProgramRig::kIni + "\r\n\r\nError "), std::string::npos)
      << text;
  EXPECT_EQ(rig_.boxes.shown[0].icon, MessageIcon::Warning);

  // The session end takes the other road to the same save.
  rig_.window.visible = false;
  EXPECT_TRUE(rig_.program->OnCloseRequest());
  EXPECT_EQ(rig_.files.files[ProgramRig::kIni], previous);
  EXPECT_EQ(rig_.boxes.shown.size(), 1u);
}

// The session cannot wait for an answer: a save that fails while it asks
// to end shows nothing, and the next failure is still told.
TEST_F(FaultTest, FailedSaveAtTheSessionEndQueryHoldsNothingUp) {
  rig_.Start();
  rig_.files.read_only.insert(ProgramRig::kIni);
  EXPECT_TRUE(rig_.program->OnSessionEndQuery());
  EXPECT_TRUE(rig_.boxes.shown.empty());
  rig_.program->OnUserMessage(kShowRequest, 0);
  rig_.program->Properties().ApplyClicked();
  EXPECT_EQ(rig_.boxes.shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::Values(
        SaveFault{"ReadOnlyFile",
                  [](testing::FakeFileSystem& f) { f.read_only.insert(ProgramRig::kIni); }},
        SaveFault{
            "ReadOnlyFolder",
            [](testing::FakeFileSystem& f) { f.missing_folders.insert("C:\\Apps\\Pelorin"); }},
        SaveFault{"DiskFull", [](testing::FakeFileSystem& f) { f.disk_full = true; }}),
    [](const ::testing::TestParamInfo<SaveFault>& info) { return std::string(info.param.name); });

// A close request can come before the start-up has read anything: Windows
// ending the session while the program starts, or while a second copy shows
// its uninstall question. Saving then would replace the user's file with
// defaults.
class EarlyCloseTest : public FaultTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EarlyCloseTest, CloseBeforeTheSettingsWereReadKeepsTheFile) {
  const bool second_copy = GetParam();
  const std::string users_file = rig_.files.files[ProgramRig::kIni];
  if (second_copy) {
    rig_.locks.held.insert("Pelorin");
    rig_.Start();  // ends silently: another copy holds the lock
    ASSERT_TRUE(rig_.window.loop_ended);
  } else {
    rig_.Build();
  }
  EXPECT_TRUE(rig_.program->OnCloseRequest());
  EXPECT_TRUE(rig_.files.files[ProgramRig::kIni] == users_file) << "the user's file was replaced";
  EXPECT_EQ(rig_.files.replacements, 0);
}

INSTANTIATE_TEST_SUITE_P(Moments, EarlyCloseTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "SecondCopy" : "BeforeStartUp");
                         });

// No playback device at all: the volume commands do nothing and nothing is
// shown.
TEST_F(FaultTest, MissingPlaybackDeviceMakesVolumeCommandsDoNothing) {
  rig_.audio.device_exists = false;
  std::string ini = "[Primary]\r\nPort=1\r\n";
  for (int b = 1; b <= 4; ++b) {
    ini += "[Port1Button" + std::to_string(b) + "]\r\nMode=1\r\nFunc1=" + std::to_string(39 + b) +
           "\r\nFunc2=" + std::to_string(43 + b) + "\r\n";
  }
  rig_.files.files[ProgramRig::kIni] = ini;
  rig_.Start();
  for (int i = 0; i < 10; ++i) {
    for (int b = 1; b <= 4; ++b) Press(b);
  }
  EXPECT_EQ(rig_.audio.device.opens, 0);
  EXPECT_TRUE(rig_.audio.device.writes.empty());
  EXPECT_TRUE(rig_.boxes.shown.empty());
}

struct PlaylistFault {
  const char* name;
  std::function<void(testing::FakeTextFiles::File&)> inject;
};

class PlaylistFaultTest : public FaultTest, public ::testing::WithParamInterface<PlaylistFault> {};

TEST_P(PlaylistFaultTest, FolderJumpEndsQuietlyWithTheFileClosed) {
  testing::FakeTextFiles::File& file = rig_.text_files.files[ProgramRig::kPlaylist];
  file.text = "#EXTM3U\r\nD:\\a\\1.mp3\r\nD:\\a\\2.mp3\r\nD:\\a\\3.mp3\r\nD:\\b\\4.mp3\r\n";
  GetParam().inject(file);
  rig_.Start();
  for (int i = 0; i < 5; ++i) Press(1);
  EXPECT_EQ(Selections(3), 0) << "no selection from a partial read";
  EXPECT_EQ(rig_.text_files.open_now, 0);
  EXPECT_TRUE(rig_.boxes.shown.empty());
  Press(3);
  EXPECT_EQ(NextTracks(), 1) << "the other buttons still work";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PlaylistFaultTest,
    ::testing::Values(
        PlaylistFault{"Locked", [](testing::FakeTextFiles::File& f) { f.open_fails = true; }},
        PlaylistFault{"VanishesAfterHeader",
                      [](testing::FakeTextFiles::File& f) { f.fail_after_lines = 1; }},
        PlaylistFault{"VanishesMidList",
                      [](testing::FakeTextFiles::File& f) { f.fail_after_lines = 3; }},
        PlaylistFault{"VanishesBeforeHeader",
                      [](testing::FakeTextFiles::File& f) { f.fail_after_lines = 0; }}),
    [](const ::testing::TestParamInfo<PlaylistFault>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace pelorin
