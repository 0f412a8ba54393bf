#include "ui/properties_window.h"

#include <gtest/gtest.h>

#include "support/fake_controls_view.h"
#include "support/fake_file_dialogs.h"

namespace pelorin {
namespace {

using C = ComPortsControl;
using F = FrameControl;
using O = OptionsControl;
using W = WinampControl;

// The rest of the program as the window sees it: a stored copy of Settings,
// ports that open or fail on request, and the window's visibility.
class FakeHost final : public PropertiesHost, public LineMapStore {
 public:
  explicit FakeHost(Settings& live) : live_(live) {}
  void LoadSettings() override {
    ++loads;
    live_ = stored;
  }
  void WriteSettings() override {
    ++writes;
    stored = live_;
  }
  bool ApplySettings() override {
    ++applies;
    return ports_open;
  }
  void ResetAskOnce() override { ++ask_once_resets; }
  void HideWindow() override { visible = false; }
  std::string ConfigFilePath() override { return config_path; }
  std::string DefaultConfigFilePath() override { return "C:\\Prog\\Pelorin.ini"; }
  bool UseConfigFile(const std::string& path) override {
    config_path = path;
    return config_exists;
  }
  LineMap ReadLineMap(PortRole port) override { return LineMapOf(stored.PortSettings(port)); }
  void WriteLineMap(PortRole port, const LineMap& map) override {
    SetLineMap(stored.PortSettings(port), map);
  }

  Settings stored;
  bool ports_open = true;
  bool visible = true;
  bool config_exists = false;
  std::string config_path = "C:\\Prog\\Pelorin.ini";
  int loads = 0, writes = 0, applies = 0, ask_once_resets = 0;

 private:
  Settings& live_;
};

class PropertiesWindowTest : public ::testing::Test {
 protected:
  PropertiesWindowTest()
      : host(settings),
        primary_remap(PortRole::Primary, settings, remap_view1, host,
                      [this](bool on) { frame[F::Window].enabled = on; }),
        secondary_remap(PortRole::Secondary, settings, remap_view2, host,
                        [this](bool on) { frame[F::Window].enabled = on; }),
        window(settings, host, frame, com, winamp, options, dialogs, primary_remap,
               secondary_remap) {
    host.stored.Primary.Port = 1;
    host.stored.Options.UsePort2 = true;
    window.Initialise();
    primary_remap.Initialise();
    secondary_remap.Initialise();
    std::vector<std::string> commands(54, "Command");
    commands[kKeyboardButtonCommand] = "Keyboard button";
    window.Editor().FillCommandLists(commands);
    window.FormShow();
  }

  bool ApplyEnabled() { return frame[F::Button3].enabled; }

  Settings settings;
  FakeHost host;
  testing::FakeControlsView<FrameControl> frame;
  testing::FakeControlsView<ComPortsControl> com;
  testing::FakeControlsView<WinampControl> winamp;
  testing::FakeControlsView<OptionsControl> options;
  testing::FakeControlsView<RemapControl> remap_view1, remap_view2;
  testing::FakeFileDialogs dialogs;
  RemapDialog primary_remap;
  RemapDialog secondary_remap;
  PropertiesWindow window;
};

TEST_F(PropertiesWindowTest, ShowingLoadsTheStoredSettingsWithoutPendingChanges) {
  window.Options().TrackBar2Change(77);
  ASSERT_TRUE(ApplyEnabled());
  window.FormShow();
  EXPECT_EQ(settings, host.stored);
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_EQ(options[O::LabelOpTurboS].text, "25");
  EXPECT_EQ(frame.focused, F::PageControl1);
}

TEST_F(PropertiesWindowTest, OkWithNothingChangedHidesWithoutWriting) {
  window.Button1Click();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.writes, 0);
  EXPECT_EQ(host.applies, 0);
}

TEST_F(PropertiesWindowTest, OkAppliesWritesAndHides) {
  window.Options().CheckBoxClicked(O::CheckBoxWarn, false);
  window.Button1Click();
  EXPECT_EQ(host.applies, 1);
  EXPECT_EQ(host.writes, 1);
  EXPECT_EQ(host.ask_once_resets, 1);
  EXPECT_FALSE(host.stored.Options.Warn);
  EXPECT_FALSE(host.visible);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, FailedApplyKeepsTheWindowAndCancelThenReloads) {
  host.ports_open = false;
  window.ComPorts().PortSelected(PortRole::Primary, 4);
  window.Button1Click();
  EXPECT_TRUE(host.visible);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(host.writes, 0);
  EXPECT_EQ(settings.Primary.Port, 5);  // the edit stays live

  window.Button3Click();
  EXPECT_TRUE(ApplyEnabled());

  window.Button2Click();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Primary.Port, 1);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, CancelWithoutPendingChangesOnlyHides) {
  const int loads = host.loads;
  window.Button2Click();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.loads, loads);
}

TEST_F(PropertiesWindowTest, EscapeCancelsUnlessAKeyFieldHasTheFocus) {
  window.Editor().RowSelected(PortRole::Secondary, 1, kKeyboardButtonCommand);
  winamp.focused = W::Edit2HotKey;
  EXPECT_FALSE(window.FormKeyDown(kEscapeKey));
  window.Editor().KeyDown(PortRole::Secondary, kEscapeKey);  // the field gets the key instead
  EXPECT_TRUE(host.visible);
  EXPECT_EQ(settings.Buttons[1][0].Key1, 27);
  EXPECT_EQ(winamp[W::Edit2HotKey].text, "Escape");

  winamp.focused.reset();
  EXPECT_TRUE(window.FormKeyDown(kEscapeKey));
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Buttons[1][0].Key1, 0);  // pending edits dropped
}

TEST_F(PropertiesWindowTest, OkInAKeyFieldCapturesEnter) {
  window.Editor().RowSelected(PortRole::Primary, 3, kKeyboardButtonCommand);
  winamp.focused = W::Edit1HotKey;
  window.Button1Click();
  EXPECT_TRUE(host.visible);
  EXPECT_EQ(settings.Buttons[0][0].Key3, 13);
  EXPECT_EQ(host.applies, 0);
}

TEST_F(PropertiesWindowTest, CloseBoxOfTheVisibleWindowCancels) {
  window.Options().ListSelected(O::ComboBoxOpTray, 5);
  EXPECT_FALSE(window.FormCloseQuery(true));
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Options.OnTrayClick, TrayClickAction::OpenSimpleVolumeControl);
  EXPECT_TRUE(window.FormCloseQuery(false));
}

TEST_F(PropertiesWindowTest, SecondaryBoxGreysTheSecondaryControlsOnThreeTabs) {
  window.CheckBoxPort2Click(false);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_FALSE(settings.Options.UsePort2);
  for (C control : {C::GroupBox2, C::Button2Remap, C::DCDi2, C::Ind2B4, C::Label15B2}) {
    EXPECT_FALSE(com[control].enabled);
  }
  EXPECT_TRUE(com[C::GroupBox1].enabled);
  EXPECT_EQ(com[C::ComboBox2PortMode].colour, Colour::ButtonFace);
  EXPECT_FALSE(winamp[W::GroupBox2Port].enabled);
  EXPECT_FALSE(winamp[W::Button2Next].enabled);
  EXPECT_TRUE(winamp[W::ComboBox2E3].enabled);  // unusable through its group only
  EXPECT_EQ(winamp[W::ComboBox2E3].colour, Colour::ButtonFace);
  EXPECT_FALSE(options[O::ComboBox2LEDwhen].enabled);
  EXPECT_EQ(options[O::ComboBox2LED].colour, Colour::ButtonFace);
  EXPECT_TRUE(options[O::ComboBox1LED].enabled);

  window.CheckBoxPort2Click(true);
  EXPECT_TRUE(com[C::GroupBox2].enabled);
  EXPECT_TRUE(winamp[W::Label2E1].enabled);
  EXPECT_EQ(winamp[W::ComboBox2Btn].colour, Colour::Window);
  EXPECT_TRUE(options[O::Label2LED].enabled);
}

TEST_F(PropertiesWindowTest, LoadingAClearedSecondaryBoxGreysItsControls) {
  host.stored.Options.UsePort2 = false;
  window.FormShow();
  EXPECT_FALSE(com[C::CheckBoxPort2].checked);
  EXPECT_FALSE(com[C::GroupBox2].enabled);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, FifteenButtonModeFillsTheButtonList) {
  window.ComPorts().PortModeSelected(PortRole::Primary, 3);
  EXPECT_EQ(settings.Primary.Mode, PortMode::Fifteen);
  EXPECT_EQ(winamp[W::ComboBox1Btn].items.size(), 15u);
  EXPECT_EQ(winamp.SelectedText(W::ComboBox1Btn), "Button 1");
  EXPECT_TRUE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, StoredPortsAndModesAreShown) {
  host.stored.Secondary.Port = 16;
  host.stored.Secondary.Mode = PortMode::Buttons3And4Shifts;
  host.stored.Primary.Port = 0;
  window.FormShow();
  EXPECT_EQ(com.SelectedText(C::ComboBox2), "COM16");
  EXPECT_EQ(com[C::ComboBox1].selection, -1);
  EXPECT_EQ(winamp[W::ComboBox2Btn].items.size(), 8u);
  EXPECT_EQ(winamp[W::ComboBox2Btn].items[7], "Button3 (Shift1) +Button4 (Shift2) + Button 2");
}

struct SpeedReadout {
  int stored;
  const char* shown;
};

class SpeedReadoutTest : public PropertiesWindowTest,
                         public ::testing::WithParamInterface<SpeedReadout> {};

TEST_P(SpeedReadoutTest, LoadedDoubleClickSpeedIsReadOut) {
  host.stored.Options.DblClickSpeed = GetParam().stored;
  window.FormShow();
  EXPECT_EQ(options[O::LabelOpSpeedS].text, GetParam().shown);
  EXPECT_EQ(options[O::TrackBar1].position, GetParam().stored);
  EXPECT_FALSE(ApplyEnabled());
}

INSTANTIATE_TEST_SUITE_P(Positions, SpeedReadoutTest,
                         ::testing::Values(SpeedReadout{10, "1sec"}, SpeedReadout{3, "300ms"},
                                           SpeedReadout{1, "100ms"}, SpeedReadout{9, "900ms"}));

TEST_F(PropertiesWindowTest, TrackBarsReadOutAndMarkPendingChanges) {
  window.Options().TrackBar1Change(4);
  EXPECT_EQ(options[O::LabelOpSpeedS].text, "400ms");
  EXPECT_EQ(settings.Options.DblClickSpeed, 4);
  EXPECT_TRUE(ApplyEnabled());
  window.Options().TrackBar2Change(100);
  EXPECT_EQ(options[O::LabelOpTurboS].text, "100");
  EXPECT_EQ(settings.Options.TurboCPS, 100);
}

TEST_F(PropertiesWindowTest, TurboTicksArePlacedOnce) {
  window.PageControl1Change(1);
  EXPECT_EQ(options[O::TrackBar2].tick_calls, 0);
  window.PageControl1Change(kOptionsTabIndex);
  window.FormPaint();
  window.PageControl1Change(kOptionsTabIndex);
  EXPECT_EQ(options[O::TrackBar2].tick_calls, 1);
  EXPECT_EQ(options[O::TrackBar2].ticks, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(options[O::TrackBar2].page_step, 10);
}

TEST_F(PropertiesWindowTest, TestPictureFlipsOnEveryRequest) {
  EXPECT_EQ(options[O::TestImage1].selection, 0);
  window.Options().FlipTestPicture();
  EXPECT_EQ(options[O::TestImage1].selection, 1);
  window.Options().FlipTestPicture();
  EXPECT_EQ(options[O::TestImage1].selection, 0);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, HiddenConnectionTypeIsKept) {
  host.stored.Options.InternetType = ConnectionType::NoConnection;
  window.FormShow();
  EXPECT_FALSE(options[O::ComboBoxOpInet].visible);
  EXPECT_EQ(options[O::ComboBoxOpInet].selection, 2);
  window.Options().CheckBoxClicked(O::CheckBoxStartUp, false);
  window.Button3Click();
  EXPECT_EQ(host.stored.Options.InternetType, ConnectionType::NoConnection);
}

TEST_F(PropertiesWindowTest, BrowseLoadsAnExistingFileOrSavesIntoANewOne) {
  host.config_path = "Pelorin.ini";  // no backslash: start from the default
  dialogs.next_choice = "D:\\cfg\\other.ini";
  host.config_exists = true;
  host.stored.Options.TurboCPS = 60;
  window.ButtonCfgClick();
  ASSERT_EQ(dialogs.saved.size(), 1u);
  const FileDialogRequest& request = dialogs.saved[0];
  EXPECT_EQ(request.title, "Use config file:");
  EXPECT_EQ(request.filter, "INI files|*.ini|All files|*.*");
  EXPECT_EQ(request.default_extension, "ini");
  EXPECT_EQ(request.initial_directory, "C:\\Prog");
  EXPECT_EQ(request.file_name, "Pelorin.ini");
  EXPECT_FALSE(request.prompt_overwrite);
  EXPECT_EQ(settings.Options.TurboCPS, 60);
  EXPECT_EQ(options[O::EditCfg].text, "D:\\cfg\\other.ini");

  host.config_exists = false;
  dialogs.next_choice = "D:\\cfg\\new.ini";
  const int writes = host.writes;
  window.ButtonCfgClick();
  EXPECT_EQ(dialogs.saved[1].initial_directory, "D:\\cfg");
  EXPECT_EQ(dialogs.saved[1].file_name, "other.ini");
  EXPECT_EQ(host.writes, writes + 1);

  // Cancelled, also when the dialog started from the default path in place
  // of a name without a folder: the path, the field and the files stay.
  host.config_path = "pel.ini";
  options[O::EditCfg].text = "pel.ini";
  dialogs.next_choice.reset();
  const int loads = host.loads;
  window.ButtonCfgClick();
  EXPECT_EQ(dialogs.saved.back().initial_directory, "C:\\Prog");
  EXPECT_EQ(host.config_path, "pel.ini");
  EXPECT_EQ(options[O::EditCfg].text, "pel.ini");
  EXPECT_EQ(host.writes, writes + 1);
  EXPECT_EQ(host.loads, loads);
}

TEST_F(PropertiesWindowTest, RemapDialogDisablesTheWindowWhileShown) {
  window.Button2RemapClick();
  EXPECT_TRUE(secondary_remap.IsShown());
  EXPECT_FALSE(frame[F::Window].enabled);
  secondary_remap.OkClicked();
  EXPECT_TRUE(frame[F::Window].enabled);
  EXPECT_FALSE(ApplyEnabled());  // the line map is stored by the dialog itself
}

TEST_F(PropertiesWindowTest, IndicatorsFollowTheLinesAndTheCode) {
  window.ComPorts().ShowLines(PortRole::Secondary, {.dsr = true, .ri = true});
  EXPECT_TRUE(com[C::DSRi2].checked);
  EXPECT_TRUE(com[C::RIi2].checked);
  EXPECT_FALSE(com[C::DCDi2].checked);
  EXPECT_FALSE(com[C::DSRi].checked);

  PortIndicators indicators;
  indicators.Update(PortRole::Primary, DecodeHardwareButtons({.cts = true, .ri = true}, {}),
                    window.ComPorts());
  EXPECT_TRUE(com[C::Ind1B3].checked);
  EXPECT_TRUE(com[C::Ind1B4].checked);
  EXPECT_EQ(com[C::Ind1B15].text, "12");
  EXPECT_TRUE(com[C::Ind1B15].checked);
  indicators.Update(PortRole::Primary, DecodeHardwareButtons({}, {}), window.ComPorts());
  EXPECT_EQ(com[C::Ind1B15].text, "");
  EXPECT_FALSE(com[C::Ind1B15].checked);
  EXPECT_EQ(com[C::Ind2B1].text, "5");
}

}  // namespace
}  // namespace pelorin
