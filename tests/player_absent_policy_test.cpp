// Presses while the player is not running: start it, ask, or do nothing.
#include <gtest/gtest.h>

#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;

// Button policies as the mapping editor lists them.
constexpr std::uint8_t kUseGlobal = 0;
constexpr std::uint8_t kStart = 1;
constexpr std::uint8_t kAskEvery = 2;
constexpr std::uint8_t kDoNothing = 4;

class PlayerAbsentTest : public ::testing::Test {
 protected:
  PlayerAbsentTest() {
    rig.SetPlayerRunning(false);
    for (int b = 1; b <= 4; ++b) {
      rig.settings.Slot(PortRole::Primary, b).Mode = static_cast<std::uint8_t>(ClickMode::Clicks);
    }
  }
  void SetGlobal(InactivePolicy policy) { rig.settings.Options.IfInactive = policy; }
  void Click(int button = 1) {
    rig.Hold(PortRole::Primary, button);
    rig.Tick();
    rig.Release(PortRole::Primary, button);
    rig.Tick();
  }
  std::size_t Questions() const { return rig.boxes.shown.size(); }

  EngineRig rig;
};

TEST_F(PlayerAbsentTest, QuestionBoxIsExactAndStopsThePollTimerWhileUp) {
  SetGlobal(InactivePolicy::AskEveryClick);
  bool timer_ran_during_box = true;
  rig.boxes.on_show = [&](const MessageBoxRequest&) { timer_ran_during_box = rig.timer.running; };
  rig.boxes.answers = {MessageAnswer::No};
  Click();
  ASSERT_EQ(Questions(), 1u);
  const MessageBoxRequest& box = rig.boxes.shown[0];
  EXPECT_EQ(box.text, "Start Winamp?");
  EXPECT_EQ(box.caption, "Winamp is not running");
  EXPECT_EQ(box.buttons, MessageButtons::YesNo);
  EXPECT_EQ(box.icon, MessageIcon::Question);
  EXPECT_TRUE(box.task_modal);
  EXPECT_EQ(box.owner, EngineRig::kMainWindow);
  EXPECT_EQ(rig.messaging.foreground, std::vector<WindowId>{EngineRig::kMainWindow});
  EXPECT_FALSE(timer_ran_during_box);
  EXPECT_TRUE(rig.timer.running);
  EXPECT_EQ(rig.launcher.starts, 0);
}

// Without a display nothing can be answered: the "ask" policies do nothing
// and say so once, however often a button is pressed.
TEST_F(PlayerAbsentTest, WithoutDisplayAskingPoliciesSayOnceThatTheyDoNothing) {
  rig.policy.SetCanAsk(false);
  for (InactivePolicy policy : {InactivePolicy::AskEveryClick, InactivePolicy::AskOnce}) {
    SetGlobal(policy);
    Click();
    Click();
  }
  ASSERT_EQ(Questions(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].text, kCannotAskText);
  EXPECT_EQ(rig.boxes.shown[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(rig.messaging.foreground.empty());
  EXPECT_EQ(rig.launcher.starts, 0);
  EXPECT_TRUE(rig.timer.running);
}

TEST_F(PlayerAbsentTest, AskOnceAsksAgainOnlyAfterApply) {
  SetGlobal(InactivePolicy::AskOnce);
  rig.boxes.answers = {MessageAnswer::No, MessageAnswer::No};
  Click();
  Click(2);
  Click(3);
  EXPECT_EQ(Questions(), 1u);
  rig.policy.ClearAskedOnce();
  Click();
  EXPECT_EQ(Questions(), 2u);
}

TEST_F(PlayerAbsentTest, AskOnceIsNotResetByThePlayerComingAndGoing) {
  SetGlobal(InactivePolicy::AskOnce);
  Click();  // Yes: the launcher starts the player
  EXPECT_EQ(rig.launcher.starts, 1);
  rig.SetPlayerRunning(true);
  Click();
  rig.SetPlayerRunning(false);
  Click();
  EXPECT_EQ(Questions(), 1u);
}

TEST_F(PlayerAbsentTest, AskEveryClickAsksInEveryCycleWithAPress) {
  SetGlobal(InactivePolicy::AskEveryClick);
  rig.boxes.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::No};
  Click();
  Click();
  rig.Hold(PortRole::Primary, 1);
  rig.Hold(PortRole::Primary, 2);
  rig.Tick();  // two presses in one cycle: one question
  EXPECT_EQ(Questions(), 3u);
}

// Within one cycle start beats ask, whichever button comes first.
class StartBeatsAskTest : public PlayerAbsentTest,
                          public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(StartBeatsAskTest, PlayerStartsWithoutQuestion) {
  const auto [starting, asking] = GetParam();
  rig.settings.Slot(PortRole::Primary, starting).Inactive = kStart;
  rig.settings.Slot(PortRole::Primary, asking).Inactive = kAskEvery;
  rig.Hold(PortRole::Primary, starting);
  rig.Hold(PortRole::Primary, asking);
  rig.Tick();
  EXPECT_EQ(rig.launcher.starts, 1);
  EXPECT_EQ(Questions(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, StartBeatsAskTest,
                         ::testing::Values(std::pair{1, 2}, std::pair{2, 1}));

// The button's own setting overrides the global one; "Default" defers to it.
struct PolicyCase {
  std::uint8_t button;
  InactivePolicy global;
  int starts;
  std::size_t questions;
};

class PolicyTableTest : public PlayerAbsentTest,
                        public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(PolicyTableTest, OnePressDoesWhatThePolicySays) {
  rig.settings.Slot(PortRole::Primary, 1).Inactive = GetParam().button;
  SetGlobal(GetParam().global);
  rig.boxes.answers = {MessageAnswer::No};
  Click();
  EXPECT_EQ(rig.launcher.starts, GetParam().starts);
  EXPECT_EQ(Questions(), GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PolicyTableTest,
    ::testing::Values(PolicyCase{kUseGlobal, InactivePolicy::Start, 1, 0},
                      PolicyCase{kUseGlobal, InactivePolicy::AskEveryClick, 0, 1},
                      PolicyCase{kUseGlobal, InactivePolicy::AskOnce, 0, 1},
                      PolicyCase{kUseGlobal, InactivePolicy::DoNothing, 0, 0},
                      PolicyCase{kDoNothing, InactivePolicy::Start, 0, 0},
                      PolicyCase{kStart, InactivePolicy::DoNothing, 1, 0},
                      PolicyCase{3, InactivePolicy::DoNothing, 0, 1},  // ask once
                      PolicyCase{5, InactivePolicy::Start, 0, 0},      // media keys
                      PolicyCase{kUseGlobal, InactivePolicy::SendMediaKeys, 0, 0},
                      PolicyCase{9, InactivePolicy::Start, 0, 0},  // unknown value
                      PolicyCase{kUseGlobal, static_cast<InactivePolicy>(-1), 0, 0}));

TEST_F(PlayerAbsentTest, OnlyPressesCountNotClicksReleasesOrRepeats) {
  SetGlobal(InactivePolicy::Start);
  rig.settings.Slot(PortRole::Primary, 1).Mode = static_cast<std::uint8_t>(ClickMode::ClicksTurbo);
  rig.Hold(PortRole::Primary, 1);
  rig.RunFor(2000);  // window end, then turbo repeats
  rig.Release(PortRole::Primary, 1);
  rig.RunFor(1000);
  Click();
  Click();  // double-click
  rig.RunFor(1000);
  EXPECT_EQ(rig.launcher.starts, 3);
}

TEST_F(PlayerAbsentTest, StartRepeatsWhilePlayerWindowIsStillMissing) {
  SetGlobal(InactivePolicy::Start);
  Click();
  Click();
  EXPECT_EQ(rig.launcher.starts, 2);
  rig.SetPlayerRunning(true);
  Click();
  EXPECT_EQ(rig.launcher.starts, 2);
}

TEST_F(PlayerAbsentTest, AskingCycleDispatchesAfterTheBoxWithNoPlayer) {
  SetGlobal(InactivePolicy::AskEveryClick);
  rig.settings.Slot(PortRole::Primary, 1).Mode = static_cast<std::uint8_t>(ClickMode::DownUp);
  rig.launcher.on_start = [this] { rig.SetPlayerRunning(true); };
  rig.boxes.on_show = [this](const MessageBoxRequest&) {
    EXPECT_TRUE(rig.sink.events.empty()) << "nothing is sent while the box is up";
  };
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  EXPECT_EQ(rig.launcher.starts, 1);
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0].player, kNoWindow) << "the lookup came before the question";
}

TEST_F(PlayerAbsentTest, GuardKeepsASecondQuestionAwayWhileOneIsUp) {
  SetGlobal(InactivePolicy::AskEveryClick);
  int nested_cycles = 0;
  rig.boxes.on_show = [&](const MessageBoxRequest&) {
    // A cycle run from inside the box's message loop, with a new press.
    if (nested_cycles++ > 0) return;
    rig.Hold(PortRole::Primary, 2);
    rig.Tick();
  };
  rig.boxes.answers = {MessageAnswer::No, MessageAnswer::No};
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(rig.messaging.foreground.size(), 2u);
  EXPECT_TRUE(rig.policy.AskedOnce());
  EXPECT_FALSE(rig.policy.QuestionShown());
  EXPECT_EQ(rig.timer.stops, 1);
  EXPECT_EQ(rig.timer.starts, 1);
}

TEST_F(PlayerAbsentTest, PlayerRunningMakesThePolicyIdle) {
  rig.SetPlayerRunning(true);
  SetGlobal(InactivePolicy::AskEveryClick);
  Click();
  rig.settings.Slot(PortRole::Primary, 2).Inactive = kStart;
  Click(2);
  EXPECT_EQ(Questions(), 0u);
  EXPECT_EQ(rig.launcher.starts, 0);
  EXPECT_TRUE(rig.messaging.foreground.empty());
}

}  // namespace
}  // namespace pelorin
