// Click recognition in simulated time: single clicks, double-clicks, holds,
// down/up and their timing relative to the double-click window.
#include <gtest/gtest.h>

#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;
using Event = testing::RecordingCommandSink::Event;

constexpr PortRole kPort = PortRole::Primary;
constexpr int kButton = 1;  // hardware button 1 is virtual button 1 in "4 buttons"

class ClicksTest : public ::testing::Test {
 protected:
  ClicksTest() {
    rig.settings.Options.DblClickSpeed = 4;  // W = 400 ms
    rig.settings.Slot(kPort, kButton).Mode = static_cast<std::uint8_t>(ClickMode::Clicks);
  }
  // Presses button 1 in a new cycle; returns the time of that cycle.
  std::int64_t Press() {
    rig.Hold(kPort, kButton);
    rig.Tick();
    return rig.clock.NowMs();
  }
  void LetGo() {
    rig.Release(kPort, kButton);
    rig.Tick();
  }
  void SetClickMode(ClickMode mode) {
    rig.settings.Slot(kPort, kButton).Mode = static_cast<std::uint8_t>(mode);
  }

  EngineRig rig;
};

// The single click comes at the first cycle strictly after press + W,
// whether the button was let go early or is still held.
class SingleClickTest : public ClicksTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SingleClickTest, ComesAtFirstCycleAfterWindowNotAtRelease) {
  const bool held = GetParam();
  const std::int64_t press = Press();
  if (!held) LetGo();
  rig.RunFor(400 - rig.clock.NowMs() + press);  // up to and including press + W
  EXPECT_TRUE(rig.sink.events.empty()) << "the window ends strictly after its deadline";
  rig.Tick();
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 1, press + 425}));
  rig.RunFor(1000);
  EXPECT_EQ(rig.sink.events.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(HeldOrNot, SingleClickTest, ::testing::Bool());

TEST_F(ClicksTest, SecondPressInsideWindowSendsDoubleClickOnly) {
  Press();
  LetGo();
  rig.Tick();
  rig.Tick();
  rig.Tick();
  const std::int64_t second = Press();  // 200 ms after the first
  LetGo();
  rig.RunFor(2000);
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 2, second}));
  EXPECT_EQ(rig.view.flips, 1);
}

TEST_F(ClicksTest, ThirdQuickPressOpensTheNextClick) {
  Press();
  LetGo();
  const std::int64_t second = Press();
  LetGo();
  const std::int64_t third = Press();
  LetGo();
  rig.RunFor(1000);
  ASSERT_EQ(rig.sink.events.size(), 2u);
  EXPECT_EQ(rig.sink.events[0].slot, 2);
  EXPECT_EQ(rig.sink.events[0].at_ms, second);
  EXPECT_EQ(rig.sink.events[1].slot, 1);
  EXPECT_EQ(rig.sink.events[1].at_ms, third + 425);
}

TEST_F(ClicksTest, PressSeenInFirstCycleAfterDeadlineStillDoubleClicks) {
  const std::int64_t first = Press();
  LetGo();
  rig.RunFor(first + 400 - rig.clock.NowMs());
  rig.Hold(kPort, kButton);
  rig.Tick();  // first cycle after the deadline: the press is examined first
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0].slot, 2);
}

TEST_F(ClicksTest, SlowSecondPressIsTwoSingleClicks) {
  const std::int64_t first = Press();
  LetGo();
  rig.RunFor(first + 500 - rig.clock.NowMs());
  const std::int64_t second = Press();
  LetGo();
  rig.RunFor(1000);
  ASSERT_EQ(rig.sink.events.size(), 2u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 1, first + 425}));
  EXPECT_EQ(rig.sink.events[1], (Event{EngineRig::kPlayer, kPort, kButton, 1, second + 425}));
  EXPECT_EQ(rig.view.flips, 0);
}

TEST_F(ClicksTest, DelayedCycleEndsTheWindowByTheClock) {
  const std::int64_t press = Press();
  LetGo();
  rig.clock.Advance(900);  // the timer was held up by a slow command
  rig.Cycle();
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0].slot, 1);
  EXPECT_EQ(rig.sink.events[0].at_ms, press + 925);
}

TEST_F(ClicksTest, HoldSendsAfterHoldingAtWindowEndAndNothingAtRelease) {
  SetClickMode(ClickMode::ClicksHold);
  const std::int64_t press = Press();
  rig.RunFor(2000);
  LetGo();
  rig.RunFor(1000);
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 3, press + 425}));
}

TEST_F(ClicksTest, ShortPressUnderClicksHoldIsSingleClick) {
  SetClickMode(ClickMode::ClicksHold);
  const std::int64_t press = Press();
  LetGo();
  rig.RunFor(1000);
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 1, press + 425}));
}

// Every mode with a double-click slot sends it at the second press; "Turbo"
// has none, yet its double-click still flips the test picture.
struct DoubleClickCase {
  ClickMode mode;
  int double_clicks_sent;
};

class DoubleClickPerModeTest : public ClicksTest,
                               public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClickPerModeTest, SecondPressSendsSlotTwoWhereTheModeHasOne) {
  SetClickMode(GetParam().mode);
  Press();
  LetGo();
  Press();
  LetGo();
  rig.RunFor(1000);
  EXPECT_EQ(rig.sink.Count(kPort, kButton, 2), GetParam().double_clicks_sent);
  EXPECT_EQ(rig.sink.Count(kPort, kButton, 1), 0);
  EXPECT_EQ(rig.view.flips, 1);
  EXPECT_EQ(rig.view.picture, 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, DoubleClickPerModeTest,
                         ::testing::Values(DoubleClickCase{ClickMode::Clicks, 1},
                                           DoubleClickCase{ClickMode::ClicksTurbo, 1},
                                           DoubleClickCase{ClickMode::ClicksHold, 1},
                                           DoubleClickCase{ClickMode::Turbo, 0}));

TEST_F(ClicksTest, DownUpInConsecutiveCycles) {
  SetClickMode(ClickMode::DownUp);
  const std::int64_t press = Press();
  LetGo();
  ASSERT_EQ(rig.sink.events.size(), 2u);
  EXPECT_EQ(rig.sink.events[0], (Event{EngineRig::kPlayer, kPort, kButton, 1, press}));
  EXPECT_EQ(rig.sink.events[1], (Event{EngineRig::kPlayer, kPort, kButton, 2, press + 25}));
}

TEST_F(ClicksTest, PressBetweenTwoCyclesIsNotSeen) {
  SetClickMode(ClickMode::DownUp);
  rig.Tick();
  rig.Hold(kPort, kButton);
  rig.clock.Advance(10);
  rig.Release(kPort, kButton);
  rig.Tick();
  rig.RunFor(1000);
  EXPECT_TRUE(rig.sink.events.empty());
}

TEST_F(ClicksTest, UnknownClickModeSendsNothing) {
  rig.settings.Slot(kPort, kButton).Mode = 7;
  Press();
  LetGo();
  Press();
  rig.RunFor(1000);
  LetGo();
  EXPECT_TRUE(rig.sink.events.empty());
}

TEST_F(ClicksTest, DoubleClicksOfTwoButtonsInOneCycleFlipThePictureOnce) {
  rig.settings.Slot(kPort, 2).Mode = static_cast<std::uint8_t>(ClickMode::Clicks);
  for (int i = 0; i < 2; ++i) {
    rig.Hold(kPort, 1);
    rig.Hold(kPort, 2);
    rig.Tick();
    rig.Release(kPort, 1);
    rig.Release(kPort, 2);
    rig.Tick();
  }
  EXPECT_EQ(rig.sink.Count(kPort, 1, 2), 1);
  EXPECT_EQ(rig.sink.Count(kPort, 2, 2), 1);
  EXPECT_EQ(rig.view.flips, 1);
}

TEST_F(ClicksTest, ButtonHeldWhenPollingStartsIsAPress) {
  SetClickMode(ClickMode::DownUp);
  rig.Hold(kPort, kButton);
  rig.Cycle();
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0].slot, 1);
}

TEST_F(ClicksTest, EventsWithoutPlayerGoOutWithNoWindow) {
  SetClickMode(ClickMode::DownUp);
  rig.settings.Options.IfInactive = InactivePolicy::DoNothing;
  rig.SetPlayerRunning(false);
  Press();
  ASSERT_EQ(rig.sink.events.size(), 1u);
  EXPECT_EQ(rig.sink.events[0].player, kNoWindow);
}

}  // namespace
}  // namespace pelorin
