// The poll cycle as a whole: event order, decoding changes while buttons are
// held, the secondary port, the remap dialogs' feed and the indicators.
#include <gtest/gtest.h>

#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;

void SetMode(EngineRig& rig, PortRole port, int button, ClickMode mode) {
  rig.settings.Slot(port, button).Mode = static_cast<std::uint8_t>(mode);
}

struct Sent {
  PortRole port;
  int button;
  int slot;
  bool operator==(const Sent&) const = default;
};

std::vector<Sent> SentSince(const EngineRig& rig, std::size_t first) {
  std::vector<Sent> out;
  for (std::size_t i = first; i < rig.sink.events.size(); ++i) {
    const auto& e = rig.sink.events[i];
    out.push_back({e.port, e.button, e.slot});
  }
  return out;
}

TEST(PollCycleTest, EventsOfOneCycleGoPrimaryFirstThenLowerButtonFirst) {
  EngineRig rig;
  rig.OpenSecondary();
  for (int b = 1; b <= 4; ++b) {
    SetMode(rig, PortRole::Primary, b, ClickMode::DownUp);
    SetMode(rig, PortRole::Secondary, b, ClickMode::DownUp);
  }
  SetMode(rig, PortRole::Primary, 4, ClickMode::Turbo);
  rig.Hold(PortRole::Secondary, 1);
  rig.Hold(PortRole::Primary, 4);
  rig.Hold(PortRole::Primary, 2);
  rig.Tick();
  EXPECT_EQ(SentSince(rig, 0), (std::vector<Sent>{{PortRole::Primary, 2, 1},
                                                  {PortRole::Primary, 4, 3},
                                                  {PortRole::Secondary, 1, 1}}));
}

TEST(PollCycleTest, FifteenButtonsPassThroughTheFirstButtonPressed) {
  EngineRig rig;
  rig.settings.Options.DblClickSpeed = 4;
  rig.settings.Primary.Mode = PortMode::Fifteen;
  for (int b = 1; b <= 15; ++b) SetMode(rig, PortRole::Primary, b, ClickMode::Clicks);
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  const std::int64_t first = rig.clock.NowMs();
  rig.Hold(PortRole::Primary, 2);  // reaches the port one cycle later: code 3
  rig.Tick();
  EXPECT_TRUE(rig.cycle.State(PortRole::Primary, 1).released);
  EXPECT_TRUE(rig.cycle.State(PortRole::Primary, 3).pressed);
  rig.RunFor(1000);
  ASSERT_EQ(rig.sink.events.size(), 2u);
  EXPECT_EQ(rig.sink.events[0].button, 1);
  EXPECT_EQ(rig.sink.events[0].at_ms, first + 425);
  EXPECT_EQ(rig.sink.events[1].button, 3);
  EXPECT_EQ(rig.sink.events[1].at_ms, first + 450);
}

TEST(PollCycleTest, PortModeSwitchWhileHeldReleasesTheOldButton) {
  EngineRig rig;
  rig.settings.Primary.Mode = PortMode::Fifteen;
  SetMode(rig, PortRole::Primary, 9, ClickMode::DownUp);
  SetMode(rig, PortRole::Primary, 1, ClickMode::DownUp);
  SetMode(rig, PortRole::Primary, 4, ClickMode::DownUp);
  rig.Hold(PortRole::Primary, 1);
  rig.Hold(PortRole::Primary, 4);  // code 9
  rig.Tick();
  EXPECT_EQ(SentSince(rig, 0), (std::vector<Sent>{{PortRole::Primary, 9, 1}}));
  rig.settings.Primary.Mode = PortMode::FourButtons;
  rig.Tick();
  EXPECT_EQ(SentSince(rig, 1),
            (std::vector<Sent>{
                {PortRole::Primary, 1, 1}, {PortRole::Primary, 4, 1}, {PortRole::Primary, 9, 2}}));
}

TEST(PollCycleTest, ClosedSecondaryPortRaisesNothingAndShowsAllUp) {
  EngineRig rig;
  SetMode(rig, PortRole::Secondary, 1, ClickMode::DownUp);
  rig.Hold(PortRole::Secondary, 1);
  rig.RunFor(100);
  EXPECT_TRUE(rig.sink.events.empty());
  EXPECT_FALSE(rig.view.hardware[1][0]);
  EXPECT_EQ(rig.view.lines[1], LineLevels{});

  rig.OpenSecondary();
  rig.Tick();
  EXPECT_EQ(SentSince(rig, 0), (std::vector<Sent>{{PortRole::Secondary, 1, 1}}));
  EXPECT_TRUE(rig.view.hardware[1][0]);
  EXPECT_TRUE(rig.view.lines[1].dcd);
}

TEST(PollCycleTest, SecondaryStatesFreezeWhileItsPortIsClosed) {
  EngineRig rig;
  rig.OpenSecondary();
  SetMode(rig, PortRole::Secondary, 1, ClickMode::DownUp);
  rig.Hold(PortRole::Secondary, 1);
  rig.Tick();
  rig.secondary.Close();
  rig.RunFor(100);
  EXPECT_EQ(rig.sink.events.size(), 1u) << "no release from a port that is not processed";
  EXPECT_TRUE(rig.cycle.State(PortRole::Secondary, 1).previous_level);
}

TEST(PollCycleTest, LineAssignmentIsReadEveryCycle) {
  EngineRig rig;
  SetMode(rig, PortRole::Primary, 2, ClickMode::DownUp);
  rig.Hold(PortRole::Primary, 1);  // DCD
  rig.Tick();
  EXPECT_EQ(rig.sink.Count(PortRole::Primary, 2, 1), 0);
  rig.settings.Primary.DCD = 2;  // the remap dialog moved DCD to button 2
  rig.Tick();
  EXPECT_EQ(rig.sink.Count(PortRole::Primary, 2, 1), 1);
}

TEST(PollCycleTest, RemapDialogOnAutoPageHearsRisingLinesInOrder) {
  EngineRig rig;
  rig.OpenSecondary();
  rig.primary_remap.auto_page = true;
  rig.secondary_remap.auto_page = true;
  rig.Hold(PortRole::Primary, 4);    // RI
  rig.Hold(PortRole::Primary, 1);    // DCD
  rig.Hold(PortRole::Secondary, 3);  // CTS of the secondary port
  rig.Tick();
  rig.Tick();  // held lines are no new edges
  EXPECT_EQ(rig.primary_remap.calls, (std::vector<std::string>{"DCD", "RI"}));
  EXPECT_EQ(rig.secondary_remap.calls, (std::vector<std::string>{"CTS"}));
  rig.Release(PortRole::Primary, 1);
  rig.Tick();
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  EXPECT_EQ(rig.primary_remap.calls, (std::vector<std::string>{"DCD", "RI", "DCD"}));
}

TEST(PollCycleTest, RemapDialogOffItsAutoPageHearsNothing) {
  EngineRig rig;
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  rig.primary_remap.auto_page = true;
  rig.Tick();  // DCD was already up in the previous cycle
  EXPECT_TRUE(rig.primary_remap.calls.empty());
}

TEST(PollCycleTest, LineAssignedNoneShowsOnLineIndicatorOnly) {
  EngineRig rig;
  rig.settings.Primary.CTS = 0;
  SetMode(rig, PortRole::Primary, 3, ClickMode::DownUp);
  rig.Hold(PortRole::Primary, 3);
  rig.Tick();
  EXPECT_TRUE(rig.view.lines[0].cts);
  EXPECT_FALSE(rig.view.hardware[0][2]);
  EXPECT_TRUE(rig.sink.events.empty());
}

TEST(PollCycleTest, CombinationIndicatorIsTouchedOnlyOnChange) {
  EngineRig rig;
  rig.Hold(PortRole::Primary, 1);
  rig.Hold(PortRole::Primary, 3);
  rig.RunFor(100);
  rig.Release(PortRole::Primary, 1);
  rig.Release(PortRole::Primary, 3);
  rig.RunFor(100);
  using Update = std::pair<PortRole, int>;
  EXPECT_EQ(rig.view.code_updates,
            (std::vector<Update>{{PortRole::Primary, 5}, {PortRole::Primary, 0}}));
}

TEST(PollCycleTest, PrimaryPortClosingWhileHeldGivesARelease) {
  EngineRig rig;
  SetMode(rig, PortRole::Primary, 2, ClickMode::DownUp);
  rig.Hold(PortRole::Primary, 2);
  rig.Tick();
  rig.primary.Close();
  rig.Tick();
  EXPECT_EQ(SentSince(rig, 0),
            (std::vector<Sent>{{PortRole::Primary, 2, 1}, {PortRole::Primary, 2, 2}}));
}

}  // namespace
}  // namespace pelorin
