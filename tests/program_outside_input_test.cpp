// Window messages that any process can send to the properties window, and
// tray callbacks with any mouse message: none may crash the program, end it
// unasked, touch the settings or raise a message box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::ProgramRig;

class OutsideInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Start();
    ASSERT_TRUE(rig_.program->Primary().IsOpen());
    ASSERT_TRUE(rig_.boxes.shown.empty());
    settings_before_ = rig_.program->LiveSettings();
    ini_before_ = rig_.files.files[ProgramRig::kIni];
    starts_before_ = rig_.shell.starts.size();  // the player's start at start-up
  }
  // Nothing that outlives a stray message has changed.
  void ExpectUndisturbed() {
    EXPECT_FALSE(rig_.window.loop_ended);
    EXPECT_TRUE(rig_.window.tray_icon);
    EXPECT_TRUE(rig_.boxes.shown.empty());
    EXPECT_TRUE(rig_.program->Primary().IsOpen());
    EXPECT_EQ(rig_.program->LiveSettings(), settings_before_);
    EXPECT_EQ(rig_.files.files[ProgramRig::kIni], ini_before_);
    EXPECT_TRUE(rig_.power.exits.empty());
  }

  ProgramRig rig_;
  Settings settings_before_;
  std::string ini_before_;
  std::size_t starts_before_ = 0;
};

constexpr std::uintptr_t kMaxW = std::numeric_limits<std::uintptr_t>::max();
constexpr std::intptr_t kMinL = std::numeric_limits<std::intptr_t>::min();
constexpr std::intptr_t kMaxL = std::numeric_limits<std::intptr_t>::max();

struct UserMessage {
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

class UnknownUserMessageTest : public OutsideInputTest,
                               public ::testing::WithParamInterface<UserMessage> {};

TEST_P(UnknownUserMessageTest, IsAnsweredWithZeroAndChangesNothing) {
  EXPECT_EQ(rig_.program->OnUserMessage(GetParam().wparam, GetParam().lparam), 0);
  rig_.RunFor(1000);
  ExpectUndisturbed();
  EXPECT_FALSE(rig_.window.visible);
}

INSTANTIATE_TEST_SUITE_P(Requests, UnknownUserMessageTest,
                         ::testing::Values(UserMessage{3, 0}, UserMessage{4, 1},
                                           UserMessage{0x7FFF, -1}, UserMessage{kMaxW, kMinL},
                                           UserMessage{kMaxW - 1, kMaxL},
                                           UserMessage{std::uintptr_t{1} << 32, 0},
                                           UserMessage{(std::uintptr_t{1} << 32) | 2, 0}));

class PortHandleQueryTest : public OutsideInputTest,
                            public ::testing::WithParamInterface<std::intptr_t> {};

TEST_P(PortHandleQueryTest, AnyOtherPortIndexAnswersMinusOne) {
  EXPECT_EQ(rig_.program->OnUserMessage(kPortHandleQuery, GetParam()), -1);
  ExpectUndisturbed();
}

INSTANTIATE_TEST_SUITE_P(Indices, PortHandleQueryTest,
                         ::testing::Values(2, -1, 16, kMinL, kMaxL, std::intptr_t{1} << 32));

TEST_F(OutsideInputTest, PortHandleQueryNamesOnlyOpenPorts) {
  EXPECT_NE(rig_.program->OnUserMessage(kPortHandleQuery, 0), 0);
  EXPECT_EQ(rig_.program->OnUserMessage(kPortHandleQuery, 1), 0) << "the secondary port is closed";
  ExpectUndisturbed();
}

TEST_F(OutsideInputTest, RepeatedShowRequestsShowTheWindowOnce) {
  for (int i = 0; i < 50; ++i) EXPECT_EQ(rig_.program->OnUserMessage(kShowRequest, kMinL + i), 0);
  EXPECT_TRUE(rig_.window.visible);
  EXPECT_EQ(std::count(rig_.window.log.begin(), rig_.window.log.end(), "show"), 1);
  EXPECT_EQ(rig_.window.tray_icon_adds, 1);
}

TEST_F(OutsideInputTest, QuitRequestsAfterTheFirstAreHarmless) {
  EXPECT_EQ(rig_.program->OnUserMessage(kQuitRequest, kMaxL), 0);
  EXPECT_EQ(rig_.program->OnUserMessage(kQuitRequest, 0), 0);
  EXPECT_TRUE(rig_.window.loop_ended);
  EXPECT_FALSE(rig_.window.tray_icon);
  // The taskbar coming back after the quit must not resurrect the icon.
  rig_.program->OnTaskbarCreated();
  EXPECT_FALSE(rig_.window.tray_icon);
}

// A random stream of requests from a misbehaving process, quit excluded:
// the program keeps running with its settings, ports and tray icon.
TEST_F(OutsideInputTest, RandomRequestStreamLeavesTheProgramRunning) {
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 5000; ++i) {
    std::uintptr_t wparam = random();
    if (i % 3 == 0) wparam %= 8;
    if (wparam == kQuitRequest || wparam == kShowRequest) continue;
    rig_.program->OnUserMessage(wparam, static_cast<std::intptr_t>(random()));
    if (i % 10 == 0) rig_.Tick();
  }
  ExpectUndisturbed();
}

class TrayMouseMessageTest : public OutsideInputTest,
                             public ::testing::WithParamInterface<std::uint32_t> {};

// Moves, wheel turns, other buttons and values no mouse sends: the icon
// ignores them all, and the click timer is never started by them.
TEST_P(TrayMouseMessageTest, OtherMouseMessagesDoNothing) {
  for (int i = 0; i < 3; ++i) rig_.program->TrayMessage(GetParam());
  EXPECT_FALSE(rig_.window.TimerRunning(WindowTimer::TrayClickTimer));
  rig_.program->OnTimer(WindowTimer::TrayClickTimer);  // a stray tick of a stopped timer
  ExpectUndisturbed();
  EXPECT_EQ(rig_.shell.starts.size(), starts_before_);
  EXPECT_FALSE(rig_.window.visible);
  EXPECT_EQ(std::count(rig_.window.log.begin(), rig_.window.log.end(), "menu"), 0);
}

INSTANTIATE_TEST_SUITE_P(Messages, TrayMouseMessageTest,
                         ::testing::Values(0u, 0x0200u, 0x0202u, 0x0205u, 0x0206u, 0x0207u, 0x0208u,
                                           0x0209u, 0x020Au, 0x020Eu, 0x0400u, 0x0401u, 0x10201u,
                                           0xFFFF0201u, 0xFFFFFFFFu));

// Another program can post timer messages too. A tray tick without a click
// runs no click action; the poll and LED ticks are harmless repeats.
TEST_F(OutsideInputTest, StrayTimerTicksRunNoClickAction) {
  for (int i = 0; i < 20; ++i) {
    rig_.program->OnTimer(WindowTimer::TrayClickTimer);
    rig_.program->OnTimer(WindowTimer::PollTimer);
    rig_.program->OnTimer(WindowTimer::LedTimer);
  }
  EXPECT_EQ(rig_.shell.starts.size(), starts_before_);
  ExpectUndisturbed();
}

// A second start-up tick (a timer message posted from outside) must not run
// the start-up again: it would find its own instance lock taken and end the
// program. Program::OnTimer needs to ignore ticks of timers that are not
// running; until then this stays disabled.
TEST_F(OutsideInputTest, StrayStartupTickDoesNotEndTheProgram) {
  rig_.program->OnTimer(WindowTimer::StartupTimer);
  ExpectUndisturbed();
  EXPECT_EQ(rig_.window.tray_icon_adds, 1);
}

// Whatever the order of clicks, double-clicks and timer ticks, the program
// keeps exactly one tray icon, never ends, and the click timer is a
// one-shot: it is never left running once its tick has come.
TEST_F(OutsideInputTest, RandomTrayTrafficKeepsTheClickTimerAOneShot) {
  rig_.window.visible = false;
  std::mt19937 random(7);
  const std::uint32_t kMessages[] = {
      kMouseLeftDown, kMouseLeftDoubleClick, kMouseRightDown, 0x0202, 0x0200, 0x0205};
  for (int i = 0; i < 3000; ++i) {
    const int what = static_cast<int>(random() % 8);
    if (what < 6) {
      rig_.program->TrayMessage(kMessages[what]);
    } else if (rig_.window.TimerRunning(WindowTimer::TrayClickTimer)) {
      rig_.program->OnTimer(WindowTimer::TrayClickTimer);
      EXPECT_FALSE(rig_.window.TimerRunning(WindowTimer::TrayClickTimer));
    }
  }
  EXPECT_FALSE(rig_.window.loop_ended);
  EXPECT_EQ(rig_.window.tray_icon_adds, 1);
  EXPECT_TRUE(rig_.boxes.shown.empty());
  EXPECT_EQ(rig_.program->LiveSettings(), settings_before_);
}

// What a single click on the tray icon does for each stored action, and that
// any other number the configuration file may hold does nothing.
struct TrayActionCase {
  int stored;
  bool player_running;
  std::vector<testing::FakeShell::Start> starts;
  std::vector<testing::FakeWindowMessaging::Message> messages;
  bool shows_window;
};

class TrayActionTest : public ::testing::TestWithParam<TrayActionCase> {};

TEST_P(TrayActionTest, SingleClickRunsExactlyTheStoredAction) {
  const TrayActionCase& c = GetParam();
  ProgramRig rig;
  rig.files.files[ProgramRig::kIni] =
      "[Primary]\r\nPort=1\r\n[Options]\r\nOnTrayClick=" + std::to_string(c.stored) + "\r\n";
  rig.SetPlayerRunning(c.player_running);
  rig.Start();
  rig.shell.starts.clear();
  rig.messaging.messages.clear();
  rig.program->TrayMessage(kMouseLeftDown);
  ASSERT_TRUE(rig.window.TimerRunning(WindowTimer::TrayClickTimer));
  EXPECT_TRUE(rig.shell.starts.empty()) << "nothing runs before the click timer ends";
  rig.program->OnTimer(WindowTimer::TrayClickTimer);
  EXPECT_EQ(rig.shell.starts, c.starts);
  EXPECT_EQ(rig.messaging.messages, c.messages);
  EXPECT_EQ(rig.window.visible, c.shows_window);
  EXPECT_FALSE(rig.window.loop_ended);
  EXPECT_TRUE(rig.boxes.shown.empty());
}

using Start = testing::FakeShell::Start;
using Sent = testing::FakeWindowMessaging::Message;
constexpr auto kSent = testing::FakeWindowMessaging::How::Sent;

INSTANTIATE_TEST_SUITE_P(
    Stored, TrayActionTest,
    ::testing::Values(
        TrayActionCase{
            0, true, {Start{"Winamp.exe", "", ProgramRig::kPlayerDir, kShowShow}}, {}, false},
        TrayActionCase{1, true, {Start{"sndvol.exe", "", "", kShowShow}}, {}, false},
        TrayActionCase{2, true, {Start{"sndvol.exe", "-f", "", kShowShow}}, {}, false},
        TrayActionCase{3, true, {}, {Sent{ProgramRig::kPlayer, 0x0111, 40029, 0, kSent}}, false},
        TrayActionCase{3, false, {}, {}, false}, TrayActionCase{4, true, {}, {}, true},
        TrayActionCase{5, true, {}, {}, false},
        TrayActionCase{-2147483647 - 1, true, {}, {}, false},
        TrayActionCase{-1, true, {}, {}, false}, TrayActionCase{6, true, {}, {}, false},
        TrayActionCase{255, true, {}, {}, false}, TrayActionCase{2147483647, true, {}, {}, false}),
    [](const ::testing::TestParamInfo<TrayActionCase>& info) {
      const long long stored = info.param.stored;
      return (stored < 0 ? "Minus" + std::to_string(-stored) : std::to_string(stored)) +
             (info.param.player_running ? "" : "WithoutPlayer");
    });

// The volume control of older Windows is started only where the system
// folder still has it.
TEST(VolumeControlTest, OldControlOnlyWhereTheSystemFolderHasIt) {
  for (const bool old_exists : {false, true}) {
    ProgramRig rig;
    rig.facts.system_folder = "C:\\Windows\\system32";
    if (old_exists) rig.files.files["C:\\Windows\\system32\\sndvol32.exe"] = "";
    rig.Start();
    rig.shell.starts.clear();
    rig.program->OnTrayMenu(TrayMenuItem::Volume);
    const char* file = old_exists ? "sndvol32.exe" : "sndvol.exe";
    const char* simple = old_exists ? "/t" : "-f";
    EXPECT_EQ(rig.shell.starts, (std::vector<Start>{Start{file, simple, "", kShowShow}}))
        << old_exists;
  }
}

// Where the desktop has a mixer of its own, every volume entry opens it;
// where it has none, the menu's entry is disabled and no entry starts
// anything (the Windows volume control does not exist there either).
TEST(VolumeControlTest, DesktopMixerServesEveryVolumeEntryOrNone) {
  for (const std::string mixer : {"pavucontrol", ""}) {
    for (const int stored_click : {1, 2}) {
      ProgramRig rig;
      rig.facts.desktop_mixer = mixer;
      rig.files.files[ProgramRig::kIni] =
          "[Primary]\r\nPort=1\r\n[Options]\r\nOnTrayClick=" + std::to_string(stored_click) +
          "\r\n";
      rig.Start();
      EXPECT_EQ(rig.window.MenuItemEnabled(TrayMenuItem::Volume), !mixer.empty()) << mixer;
      rig.shell.starts.clear();
      rig.program->OnTrayMenu(TrayMenuItem::Volume);
      rig.program->TrayMessage(kMouseLeftDown);
      rig.program->OnTimer(WindowTimer::TrayClickTimer);
      const std::vector<Start> expected =
          mixer.empty() ? std::vector<Start>{}
                        : std::vector<Start>(2, Start{mixer, "", "", kShowShow});
      EXPECT_EQ(rig.shell.starts, expected) << mixer << " click " << stored_click;
    }
  }
}

}  // namespace
}  // namespace pelorin
