#include "ui/remap_dialog.h"

#include <gtest/gtest.h>

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

class RemapDialogTest : public ::testing::TestWithParam<PortRole> {
 protected:
  RemapDialogTest()
      : port(GetParam()),
        dialog(port, settings, view, store, [this](bool on) { owner_enabled = on; }) {
    dialog.Initialise();
    dialog.Show();
  }

  LineMap Live() {
    const PortGroup& g = settings.PortSettings(port);
    return {g.DCD, g.DSR, g.CTS, g.RI};
  }
  // One poll tick with the port's lines at `now`: the cycle announces each
  // line that rose, in the order DCD, DSR, CTS, RI, while the Auto page shows.
  void Tick(const LineLevels& now) {
    if (dialog.ShowsAutoPage()) {
      if (now.dcd && !previous.dcd) dialog.OnClickDCD();
      if (now.dsr && !previous.dsr) dialog.OnClickDSR();
      if (now.cts && !previous.cts) dialog.OnClickCTS();
      if (now.ri && !previous.ri) dialog.OnClickRI();
    }
    previous = now;
  }
  void Press(LineLevels lines) {
    Tick(lines);
    Tick({});
  }

  PortRole port;
  Settings settings;
  testing::FakeControlsView<RemapControl> view;
  FakeLineMapStore store;
  bool owner_enabled = true;
  LineLevels previous;
  RemapDialog dialog;
};

TEST_P(RemapDialogTest, ButtonsPressedInTurnTakeTheirNumbers) {
  dialog.AssignAutomatically();
  EXPECT_EQ(view[R::Notebook].selection, static_cast<int>(RemapPage::Auto));
  EXPECT_TRUE(view[R::Label1].bold);
  Press({.ri = true});
  EXPECT_TRUE(view[R::Label2].bold);
  EXPECT_FALSE(view[R::Label1].bold);
  Press({.cts = true});
  Press({.dsr = true});
  EXPECT_EQ(dialog.Page(), RemapPage::Auto);
  Press({.dcd = true});
  EXPECT_EQ(Live(), (LineMap{4, 3, 2, 1}));
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
  EXPECT_TRUE(view[R::Label4].bold);
  EXPECT_EQ(view[R::RadioGroup4].selection, 1);
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
  dialog.RadioGroupClicked(StatusLine::DSR, 0);
  EXPECT_EQ(settings.PortSettings(port).DSR, 0);  // live before OK
  dialog.CancelClicked();
  EXPECT_EQ(Live(), (LineMap{1, 2, 3, 4}));
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_TRUE(owner_enabled);

  dialog.Show();
  EXPECT_FALSE(owner_enabled);
  dialog.RadioGroupClicked(StatusLine::DCD, 4);
  dialog.OkClicked();
  EXPECT_EQ(store.maps[IndexOf(port)], (LineMap{4, 2, 3, 4}));
  EXPECT_EQ(Live(), (LineMap{4, 2, 3, 4}));
  EXPECT_FALSE(dialog.IsShown());
}

TEST_P(RemapDialogTest, CloseBoxKeepsChangesUnstoredAndLeavesTheAutoPageFirst) {
  dialog.RadioGroupClicked(StatusLine::RI, 1);
  dialog.AssignAutomatically();
  EXPECT_FALSE(dialog.FormCloseQuery());
  EXPECT_EQ(dialog.Page(), RemapPage::Manual);
  EXPECT_TRUE(dialog.IsShown());
  EXPECT_FALSE(dialog.FormCloseQuery());
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_TRUE(owner_enabled);
  EXPECT_EQ(Live(), (LineMap{1, 2, 3, 1}));
  EXPECT_EQ(store.writes, 0);
  EXPECT_TRUE(dialog.FormCloseQuery());
}

TEST_P(RemapDialogTest, EscapeCancelsOnTheManualPageOnly) {
  dialog.RadioGroupClicked(StatusLine::CTS, 0);
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
  EXPECT_EQ(view[R::RadioGroup3].items, (std::vector<std::string>{"None", "5", "6", "7", "8"}));
  EXPECT_EQ(view[R::RadioGroup3].text, "CTS");
  EXPECT_EQ(view[R::RadioGroup3].selection, 3);
  EXPECT_EQ(view[R::Label4].text, "Press button 8");
}

}  // namespace
}  // namespace pelorin
