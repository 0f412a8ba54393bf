// The LEDs on RTS: the six modes, the six conditions and when RTS is written.
#include <gtest/gtest.h>

#include <array>

#include "indicators/led_driver.h"
#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;

// RTS for (state, flash) = (off, off), (off, on), (on, off), (on, on).
struct ModeCase {
  int mode;
  std::array<bool, 4> rts;
};

class LedModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(LedModeTest, RtsFollowsStateAndFlashPhase) {
  const ModeCase& c = GetParam();
  EXPECT_EQ(RtsOutput(ChoiceAt<LedMode>(c.mode), false, false), c.rts[0]);
  EXPECT_EQ(RtsOutput(ChoiceAt<LedMode>(c.mode), false, true), c.rts[1]);
  EXPECT_EQ(RtsOutput(ChoiceAt<LedMode>(c.mode), true, false), c.rts[2]);
  EXPECT_EQ(RtsOutput(ChoiceAt<LedMode>(c.mode), true, true), c.rts[3]);
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, LedModeTest,
    ::testing::Values(ModeCase{0, {false, false, true, true}},    // Turn on
                      ModeCase{1, {false, false, false, true}},   // Flash
                      ModeCase{2, {false, true, false, false}},   // No flash
                      ModeCase{3, {true, true, true, false}},     // Flash (inv.)
                      ModeCase{4, {true, false, true, true}},     // No flash (inv.)
                      ModeCase{5, {true, true, false, false}},    // Turn off
                      ModeCase{-1, {true, true, false, false}},   // no selection
                      ModeCase{6, {true, true, false, false}}));  // unknown

// The LED state per condition, and how many status queries it costs.
struct ConditionCase {
  int condition;
  bool player_running;
  std::intptr_t status;  // the player's answer to the status query
  int code;              // combination code of the LED's port
  bool lit;
  int queries;
};

class LedConditionTest : public ::testing::TestWithParam<ConditionCase> {};

int StatusQueries(const EngineRig& rig) {
  int n = 0;
  for (const auto& m : rig.messaging.messages) {
    n += m.message == kWmUser && m.lparam == kPlayerStatusQuery;
  }
  return n;
}

TEST_P(LedConditionTest, StateFollowsCondition) {
  const ConditionCase& c = GetParam();
  EngineRig rig;
  rig.settings.Primary.LEDwhen = ChoiceAt<LedCondition>(c.condition);
  rig.messaging.answer = [&](const auto&) { return c.status; };
  const WindowId player = c.player_running ? EngineRig::kPlayer : kNoWindow;
  EXPECT_EQ(rig.leds.UpdateConditions(player, c.code, 0), c.lit);
  EXPECT_EQ(rig.leds.PrimaryState(), c.lit);
  EXPECT_EQ(StatusQueries(rig), c.queries);
}

INSTANTIATE_TEST_SUITE_P(
    AllConditions, LedConditionTest,
    ::testing::Values(
        ConditionCase{0, false, 0, 0, true, 0},  // program running
        ConditionCase{1, true, 0, 0, true, 0},   // player running
        ConditionCase{1, false, 0, 0, false, 0}, ConditionCase{2, true, 1, 0, true, 1},  // playing
        ConditionCase{2, true, 3, 0, false, 1}, ConditionCase{2, false, 1, 0, false, 0},
        ConditionCase{3, true, 3, 0, true, 1},                                          // paused
        ConditionCase{3, true, 0, 0, false, 1}, ConditionCase{4, true, 0, 0, true, 1},  // stopped
        ConditionCase{4, true, 1, 0, false, 1},
        ConditionCase{4, false, 0, 0, false, 0},  // no player is not stopped
        ConditionCase{5, true, 0, 0, false, 0},   // button pressed
        ConditionCase{5, false, 0, 8, true, 0},
        ConditionCase{9, false, 0, 2, true, 0},  // unknown: button pressed
        ConditionCase{-1, false, 0, 0, false, 0}));

class LedDriverTest : public ::testing::Test {
 protected:
  std::vector<bool>& PrimaryRts() { return rig.ports.Port(1).rts_writes; }
  std::vector<bool>& SecondaryRts() { return rig.ports.Port(2).rts_writes; }
  void SetLed(PortGroup& port, LedMode mode, LedCondition when) {
    port.LED = mode;
    port.LEDwhen = when;
  }
  // `n` runs of OnLedTick.
  void Steps(int n) {
    for (int i = 0; i < n; ++i) rig.leds.Step();
  }

  EngineRig rig;
};

TEST_F(LedDriverTest, TurnOnLightsTheLedOnceAndKeepsItLit) {
  rig.Tick();  // "Pelorin is running": the state turns on, shown at once
  Steps(3);
  EXPECT_EQ(PrimaryRts(), std::vector<bool>{true}) << "a level the port has is not written again";
  EXPECT_TRUE(rig.ports.Port(1).rts);
}

TEST_F(LedDriverTest, FlashAlternatesWhilePlayingAndStaysDarkWhilePaused) {
  SetLed(rig.settings.Primary, LedMode::Flash, LedCondition::PlayerPlaying);
  std::intptr_t status = 1;
  rig.messaging.answer = [&](const auto&) { return status; };
  rig.Tick();  // state on: an immediate step with the phase inverted to false
  Steps(4);
  EXPECT_EQ(PrimaryRts(), (std::vector<bool>{false, true, false, true, false}));
  status = 3;
  rig.Tick();
  Steps(4);
  EXPECT_EQ(PrimaryRts().size(), 5U) << "dark since the last flash, with no write";
  EXPECT_FALSE(rig.ports.Port(1).rts);
}

TEST_F(LedDriverTest, NoFlashAlternatesWhenPlayerIsNotRunning) {
  SetLed(rig.settings.Primary, LedMode::NoFlash, LedCondition::PlayerPlaying);
  rig.SetPlayerRunning(false);
  rig.settings.Options.IfInactive = InactivePolicy::DoNothing;
  rig.Tick();
  Steps(4);
  EXPECT_EQ(PrimaryRts(), (std::vector<bool>{false, true, false, true}));
}

TEST_F(LedDriverTest, ConditionChangeShowsWithinTheSameCycle) {
  SetLed(rig.settings.Primary, LedMode::TurnOn, LedCondition::ButtonPressed);
  rig.Tick();
  EXPECT_TRUE(PrimaryRts().empty()) << "no change, no extra step";
  rig.Hold(PortRole::Primary, 2);
  rig.Tick();
  EXPECT_EQ(PrimaryRts(), std::vector<bool>{true});
  rig.Release(PortRole::Primary, 2);
  rig.Tick();
  EXPECT_EQ(PrimaryRts(), (std::vector<bool>{true, false}));
}

TEST_F(LedDriverTest, ButtonPressedCountsShiftsButNotLinesAssignedNone) {
  SetLed(rig.settings.Primary, LedMode::TurnOn, LedCondition::ButtonPressed);
  rig.settings.Primary.Mode = PortMode::Button4Shift;
  rig.settings.Primary.DSR = 0;
  rig.Hold(PortRole::Primary, 4);  // the shift alone decodes to no virtual button
  rig.Tick();
  EXPECT_TRUE(rig.leds.PrimaryState());
  rig.Release(PortRole::Primary, 4);
  rig.Hold(PortRole::Primary, 2);  // DSR, assigned "None"
  rig.Tick();
  EXPECT_FALSE(rig.leds.PrimaryState());
}

TEST_F(LedDriverTest, SecondaryLedIsOffAndUntouchedWhileItsPortIsClosed) {
  SetLed(rig.settings.Secondary, LedMode::TurnOff, LedCondition::ProgramRunning);
  rig.Tick();
  Steps(2);
  EXPECT_FALSE(rig.leds.SecondaryState());
  EXPECT_TRUE(SecondaryRts().empty());
  rig.OpenSecondary();
  rig.Tick();  // turns on: immediate step on both ports
  Steps(1);
  EXPECT_TRUE(rig.leds.SecondaryState());
  EXPECT_EQ(SecondaryRts(), std::vector<bool>{false});
}

TEST_F(LedDriverTest, SecondaryLedUsesItsOwnPortsButtons) {
  rig.OpenSecondary();
  SetLed(rig.settings.Secondary, LedMode::TurnOn, LedCondition::ButtonPressed);
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  EXPECT_FALSE(rig.leds.SecondaryState());
  rig.Hold(PortRole::Secondary, 3);
  rig.Tick();
  EXPECT_TRUE(rig.leds.SecondaryState());
}

TEST_F(LedDriverTest, AtMostOneStatusQueryPerLedAndCycle) {
  rig.OpenSecondary();
  SetLed(rig.settings.Primary, LedMode::Flash, LedCondition::PlayerPlaying);
  SetLed(rig.settings.Secondary, LedMode::Flash, LedCondition::PlayerStopped);
  rig.Tick();
  EXPECT_EQ(StatusQueries(rig), 2);
  rig.settings.Primary.LEDwhen = LedCondition::PlayerRunning;
  rig.settings.Secondary.LEDwhen = LedCondition::ButtonPressed;
  rig.Tick();
  EXPECT_EQ(StatusQueries(rig), 2);
}

}  // namespace
}  // namespace pelorin
