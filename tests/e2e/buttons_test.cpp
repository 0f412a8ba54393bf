// Buttons on the serial stand-in's COM5 (and COM20) reach the stand-in
// player through the unchanged pelorin.exe.
#include <gtest/gtest.h>

#include <algorithm>

#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

using pelorin::testing::StandinLines;
using pelorin::testing::StandInPlayer;

constexpr char kNextTrack[] = "player posted 273 40048 0";
constexpr char kVolumeUpEighth[] = "player posted 273 40058 0";

class ButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com5.has_value()) << "run under the serial stand-in (port 5)";
    com5->SetInputs(0);
  }
  void TearDown() override {
    if (com5) com5->SetInputs(0);
  }
  bool ProgramReady() {
    return WaitUntil([&] {
      auto state = com5->Read();
      return state && (*state & STANDIN_DTR) != 0;
    });
  }
  static long Count(const std::vector<std::string>& log, const char* line) {
    return static_cast<long>(std::count(log.begin(), log.end(), line));
  }

  std::optional<StandinLines> com5 = StandinLines::ForPort(5);
};

TEST_F(ButtonsTest, CtsPressPostsNextTrackToThePlayer) {
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("button-next");
  auto program = scenario.StartConfigured();
  ASSERT_TRUE(ProgramReady());

  com5->SetInputs(STANDIN_CTS);
  EXPECT_TRUE(WaitUntil([&] { return player.Sync() && Count(player.Log(), kNextTrack) == 1; }));
  com5->SetInputs(0);
  Sleep(200);
  player.Sync();
  EXPECT_EQ(Count(player.Log(), kNextTrack), 1) << "the release sends \"Nothing\"";
}

// USB adapters often get numbers above 16; the port opens by its number
// through the device namespace, its lines are set up and its DTR raised.
TEST_F(ButtonsTest, ButtonOnAPortNumberedTwentyPostsNextTrack) {
  std::optional<StandinLines> com20 = StandinLines::ForPort(20);
  ASSERT_TRUE(com20.has_value()) << "run under the serial stand-in (port 20)";
  com20->Change(0, STANDIN_INPUTS | STANDIN_OUTPUTS);
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("button-com20");
  scenario.WriteConfig("[Primary]\r\nPort=20\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n");
  auto program = scenario.Start();
  ASSERT_TRUE(WaitUntil([&] {
    auto state = com20->Read();
    return state && (*state & STANDIN_DTR) != 0;
  }));

  com20->SetInputs(STANDIN_CTS);
  EXPECT_TRUE(WaitUntil([&] { return player.Sync() && Count(player.Log(), kNextTrack) == 1; }));
  com20->SetInputs(0);
}

TEST_F(ButtonsTest, HeldTurboButtonRepeatsVolumeUpInBurstsOfEight) {
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("button-turbo");
  auto program = scenario.StartConfigured();
  ASSERT_TRUE(ProgramReady());

  com5->SetInputs(STANDIN_RI);  // button 4: "Turbo", "Volume 1/8 up"
  Sleep(600);
  com5->SetInputs(0);
  Sleep(200);
  ASSERT_TRUE(player.Sync());
  const long posted = Count(player.Log(), kVolumeUpEighth);
  EXPECT_EQ(posted % 8, 0) << "each repeat posts the command eight times";
  EXPECT_GE(posted / 8, 5) << "25 repeats a second by default";
}

TEST_F(ButtonsTest, WithoutAPlayerAskOnceAsksOnlyOnce) {
  Scenario scenario("button-ask-once");
  auto program = scenario.StartConfigured();
  ASSERT_TRUE(ProgramReady());

  com5->SetInputs(STANDIN_CTS);
  HWND box = WaitForMessageBox("Winamp is not running");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Start Winamp?");
  EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST)
      << "the buttons wait for the answer: the question must not hide behind other windows";
  PressMessageBoxButton(box, IDNO);
  com5->SetInputs(0);
  ASSERT_TRUE(WaitUntil([] { return FindMessageBox("Winamp is not running") == nullptr; }));

  Sleep(100);
  com5->SetInputs(STANDIN_CTS);
  Sleep(300);
  EXPECT_EQ(FindMessageBox("Winamp is not running"), nullptr) << "asked once already";
}

}  // namespace
}  // namespace pelorin::e2e
