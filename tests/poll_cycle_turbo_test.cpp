// Turbo repeats in simulated time: their rhythm, catch-up bursts and the
// bound on a burst after a long stall.
#include <gtest/gtest.h>

#include <vector>

#include "engine/button_state.h"
#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;

constexpr PortRole kPort = PortRole::Primary;
constexpr int kButton = 1;
constexpr int kTurboSlot = 3;

class TurboTest : public ::testing::Test {
 protected:
  void Configure(ClickMode mode, int turbo_cps) {
    rig.settings.Options.DblClickSpeed = 4;
    rig.settings.Options.TurboCPS = turbo_cps;
    rig.settings.Slot(kPort, kButton).Mode = static_cast<std::uint8_t>(mode);
  }
  std::int64_t Press() {
    rig.Hold(kPort, kButton);
    rig.Tick();
    return rig.clock.NowMs();
  }
  int Repeats() const { return rig.sink.Count(kPort, kButton, kTurboSlot); }
  // Repeats sent by one more cycle.
  int RepeatsOfNextTick() {
    const int before = Repeats();
    rig.Tick();
    return Repeats() - before;
  }

  EngineRig rig;
};

TEST_F(TurboTest, ClicksTurboRepeatsFromWindowEndTenPerSecond) {
  Configure(ClickMode::ClicksTurbo, 10);
  const std::int64_t press = Press();
  const std::int64_t start = press + 425;  // the window ends here, button still down
  rig.RunFor(start + 1000 - rig.clock.NowMs());
  ASSERT_EQ(Repeats(), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(rig.sink.events[i].at_ms, start + 100 * i);
  rig.Release(kPort, kButton);
  EXPECT_EQ(RepeatsOfNextTick(), 0) << "the release cycle sends no repeat";
  rig.RunFor(1000);
  EXPECT_EQ(rig.sink.events.size(), 11u) << "no single click after the repeat";
}

TEST_F(TurboTest, TurboAtHundredPerSecondSendsBurstsOfTwoOrThree) {
  Configure(ClickMode::Turbo, 100);
  Press();
  EXPECT_EQ(Repeats(), 1) << "the first repeat goes out with the press";
  std::vector<int> per_cycle;
  for (int i = 0; i < 40; ++i) per_cycle.push_back(RepeatsOfNextTick());
  EXPECT_EQ(Repeats(), 101);
  for (int n : per_cycle) EXPECT_TRUE(n == 2 || n == 3) << n;
}

TEST_F(TurboTest, DelayedCycleCatchesUpWithABurst) {
  Configure(ClickMode::Turbo, 25);
  Press();
  rig.clock.Advance(300);
  rig.Cycle();
  EXPECT_EQ(Repeats(), 8);            // floor(0.3 s * 25) + 1
  EXPECT_EQ(RepeatsOfNextTick(), 1);  // 325 ms: the ninth was due at 320 ms
  EXPECT_EQ(RepeatsOfNextTick(), 0);
}

TEST_F(TurboTest, LongStallSendsAtMostOneSecondOfRepeatsThenKeepsTheRhythm) {
  Configure(ClickMode::Turbo, 100);
  Press();
  rig.clock.Advance(10 * 60 * 1000);  // a machine resumed with the button held
  rig.Cycle();
  EXPECT_EQ(Repeats(), 1 + 100);
  const int next = RepeatsOfNextTick();
  EXPECT_TRUE(next == 2 || next == 3) << next;
}

TEST_F(TurboTest, RepeatRunsOnAcrossAClickModeChangeUntilRelease) {
  Configure(ClickMode::Turbo, 10);
  Press();
  rig.settings.Slot(kPort, kButton).Mode = 7;  // even a mode with no events of its own
  rig.RunFor(500);
  EXPECT_EQ(Repeats(), 6);
  rig.Release(kPort, kButton);
  rig.RunFor(500);
  EXPECT_EQ(Repeats(), 6);
}

TEST_F(TurboTest, SlowCommandsCannotProlongTheirOwnBurst) {
  Configure(ClickMode::Turbo, 100);
  // Each command takes 10 ms: the target is fixed once per cycle.
  rig.sink.on_send = [this](const auto&) { rig.clock.Advance(10); };
  Press();
  EXPECT_EQ(Repeats(), 1);
  const int burst = RepeatsOfNextTick();
  EXPECT_GE(burst, 3);
  EXPECT_LE(burst, 4);
}

// The count of repeats due, t ms after the start: floor(t * cps / 1000) + 1
// in all, and never more than one second's worth in one go.
struct DueCase {
  int cps;
  std::int64_t elapsed_ms;
  std::int64_t already_sent;
  std::int64_t due;
};

class TurboDueTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(TurboDueTest, FollowsTheClock) {
  const DueCase& c = GetParam();
  ButtonState state;
  StartTurbo(state, 5000);
  state.turbo_count = c.already_sent;
  EXPECT_EQ(TurboRepeatsDue(state, 5000 + c.elapsed_ms, c.cps), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TurboDueTest,
    ::testing::Values(DueCase{25, 0, 0, 1}, DueCase{25, 39, 1, 0}, DueCase{25, 40, 1, 1},
                      DueCase{1, 999, 1, 0}, DueCase{1, 1000, 1, 1}, DueCase{100, 25, 1, 2},
                      DueCase{100, 1000, 0, 100}, DueCase{100, 1010, 0, 100},
                      DueCase{10, 5000, 20, 10}, DueCase{10, 5000, 60, 0},
                      DueCase{0, 2000, 0, 1},      // below range: one per second
                      DueCase{500, 1000, 0, 100},  // above range: capped at 100
                      DueCase{25, -50, 0, 0}));

TEST_F(TurboTest, TurningTheSpeedDownMidHoldKeepsRepeatingAtTheNewSpeed) {
  Configure(ClickMode::Turbo, 100);
  Press();
  rig.RunFor(10'000);
  const int before = Repeats();
  rig.settings.Options.TurboCPS = 10;
  rig.RunFor(1000);
  // Seen at the first cycle after the change; then one every 100 ms.
  EXPECT_EQ(Repeats() - before, 9);
}

TEST(TurboBurstBoundTest, SkippedRepeatsAreDroppedNotDeferred) {
  ButtonState state;
  StartTurbo(state, 0);
  state.turbo_count = 1;
  EXPECT_EQ(TurboRepeatsDue(state, 60'000, 10), 10);
  state.turbo_count += 10;
  EXPECT_EQ(TurboRepeatsDue(state, 60'000, 10), 0);
  EXPECT_EQ(TurboRepeatsDue(state, 60'100, 10), 1);
}

}  // namespace
}  // namespace pelorin
