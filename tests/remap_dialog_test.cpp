#include "ui/remap_dialog.h"

#include <gtest/gtest.h>

#include "support/engine_rig.h"
#include "support/fake_controls_view.h"

namespace pelorin {
namespace {

using R = RemapControl;

class FakeLineMapStore final : public LineMapStore {
 public:
  LineMap ReadLineMap(PortRole port) override { return maps[IndexOf(port)]; }
  void WriteLineMap(PortRole port, const LineMap& map) override {
    maps[IndexOf(port)] = map;
    ++writes;
  }
  LineMap maps[2] = {{1, 2, 3, 4}, {1, 2, 3, 4}};
  int writes = 0;
};

// The dialog of one port fed by the real poll cycle, as in the program.
class RemapDialogTest : public ::testing::TestWithParam<PortRole> {
 protected:
  RemapDialogTest()
      : port(GetParam()),
        dialog(port, settings, view, store, [this](bool on) { owner_enabled = on; }),
        cycle(
            rig.PartsWith(port == PortRole::Primary ? static_cast<RemapLineFeed&>(dialog)
                                                    : rig.primary_remap,
                          port == PortRole::Secondary ? static_cast<RemapLineFeed&>(dialog)
                                                      : rig.secondary_remap)) {
    rig.OpenSecondary();
    dialog.Initialise();
    dialog.Show();
  }

  LineMap Live() {
    const PortGroup& g = settings.PortSettings(port);
    return {g.DCD, g.DSR, g.CTS, g.RI};
  }
  // One poll cycle with the port's lines at `now`.
  void Tick(const LineLevels& now) {
    rig.ports.Port(testing::EngineRig::ComOf(port)).status = (now.dcd ? kModemDcd : 0) | (now.dsr ? kModemDsr : 0) |
                                  (now.cts ? kModemCts : 0) | (now.ri ? kModemRing : 0);
    rig.clock.Advance(testing::EngineRig::kCycleMs);
    cycle.Run();
  }
  void Press(LineLevels lines) {
    Tick(lines);
    Tick({});
  }

  testing::EngineRig rig;
  PortRole port;
  Settings& settings = rig.settings;
  testing::FakeControlsView<RemapControl> view;
  FakeLineMapStore store;
  bool owner_enabled = true;
  RemapDialog dialog;
  PollCycle cycle;
};

TEST_P(RemapDialogTest, ButtonsPressedInTurnTakeTheirNumbers) {
  dialog.AssignAutomatically();
  EXPECT_EQ(view[R::Pages].selection, static_cast<int>(RemapPage::Auto));
  EXPECT_TRUE(view[R::PressButton1Label].bold);
  Press({.ri = true});
  EXPECT_TRUE(view[R::PressButton2Label].bold);
  EXPECT_FALSE(view[R::PressButton1Label].bold);
  Press({.cts = true});
  Press({.dsr = true});
  EXPECT_EQ(dialog.Page(), RemapPage::Auto);
  Press({.dcd = true});
  EXPECT_EQ(Live(), (LineMap{4, 3, 2, 1}));
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
  EXPECT_TRUE(view[R::PressButton4Label].bold);
  EXPECT_EQ(view[R::RiChoice].selection, 1);
  EXPECT_EQ(store.writes, 0);  // only OK stores
}

TEST_P(RemapDialogTest, HoldingALineAdvancesOnlyOnce) {
  dialog.AssignAutomatically();
  Tick({.dsr = true});
  Tick({.dsr = true});
  Tick({.dsr = true, .cts = true});
  EXPECT_EQ(Live(), (LineMap{1, 1, 2, 4}));
  EXPECT_EQ(dialog.AwaitedNumber(), 3);
}

TEST_P(RemapDialogTest, LinesRisingTogetherTakeConsecutiveNumbersInLineOrder) {
  dialog.AssignAutomatically();
  Press({.ri = true});
  Press({.dcd = true, .dsr = true, .cts = true});
  EXPECT_EQ(Live(), (LineMap{2, 3, 4, 1}));
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
}

TEST_P(RemapDialogTest, CancelPartWayKeepsTheAssignmentsMade) {
  settings.PortSettings(port).DCD = 0;
  dialog.AssignAutomatically();
  Press({.cts = true});
  Press({.ri = true});
  dialog.AutoCancelClicked();
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
  EXPECT_EQ(Live(), (LineMap{0, 2, 1, 2}));
  Press({.dcd = true});  // the Manual page ignores the lines
  EXPECT_EQ(Live(), (LineMap{0, 2, 1, 2}));
}

TEST_P(RemapDialogTest, CancelRestoresTheStoredMapAndOkStoresIt) {
  dialog.LineChoiceClicked(StatusLine::DSR, 0);
  EXPECT_EQ(settings.PortSettings(port).DSR, 0);  // live before OK
  dialog.CancelClicked();
  EXPECT_EQ(Live(), (LineMap{1, 2, 3, 4}));
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_TRUE(owner_enabled);

  dialog.Show();
  EXPECT_FALSE(owner_enabled);
  dialog.LineChoiceClicked(StatusLine::DCD, 4);
  dialog.OkClicked();
  EXPECT_EQ(store.maps[IndexOf(port)], (LineMap{4, 2, 3, 4}));
  EXPECT_EQ(Live(), (LineMap{4, 2, 3, 4}));
  EXPECT_FALSE(dialog.IsShown());
}

TEST_P(RemapDialogTest, CloseBoxKeepsChangesUnstoredAndLeavesTheAutoPageFirst) {
  dialog.LineChoiceClicked(StatusLine::RI, 1);
  dialog.AssignAutomatically();
  EXPECT_FALSE(dialog.OnCloseRequest());
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
  EXPECT_TRUE(dialog.IsShown());
  EXPECT_FALSE(dialog.OnCloseRequest());
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_TRUE(owner_enabled);
  EXPECT_EQ(Live(), (LineMap{1, 2, 3, 1}));
  EXPECT_EQ(store.writes, 0);
  EXPECT_TRUE(dialog.OnCloseRequest());
}

TEST_P(RemapDialogTest, EscapeCancelsOnTheManualPageOnly) {
  dialog.LineChoiceClicked(StatusLine::CTS, 0);
  dialog.AssignAutomatically();
  EXPECT_FALSE(dialog.KeyDown(kEscapeKey));
  EXPECT_TRUE(dialog.IsShown());
  dialog.AutoCancelClicked();
  EXPECT_TRUE(dialog.KeyDown(kEscapeKey));
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_EQ(Live(), (LineMap{1, 2, 3, 4}));
}

INSTANTIATE_TEST_SUITE_P(BothPorts, RemapDialogTest,
                         ::testing::Values(PortRole::Primary, PortRole::Secondary));

TEST(RemapDialogTexts, SecondaryDialogShowsButtonsFiveToEight) {
  Settings settings;
  testing::FakeControlsView<RemapControl> view;
  FakeLineMapStore store;
  RemapDialog dialog(PortRole::Secondary, settings, view, store, [](bool) {});
  dialog.Initialise();
  EXPECT_EQ(view[R::Dialog].text, "Secondary COM-port buttons");
  EXPECT_EQ(view[R::CtsChoice].items, (std::vector<std::string>{"None", "5", "6", "7", "8"}));
  EXPECT_EQ(view[R::CtsChoice].text, "CTS");
  EXPECT_EQ(view[R::CtsChoice].selection, 3);
  EXPECT_EQ(view[R::PressButton4Label].text, "Press button 8");
}

}  // namespace
}  // namespace pelorin
