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
  std::vector<ComPortNumber> ReportedPorts() override { return reported_ports; }
  std::optional<std::vector<SerialDeviceName>> ReportedDevices() override { return devices; }
  LineMap ReadLineMap(PortRole port) override { return LineMapOf(stored.PortSettings(port)); }
  void WriteLineMap(PortRole port, const LineMap& map) override {
    SetLineMap(stored.PortSettings(port), map);
  }

  Settings stored;
  bool ports_open = true;
  bool visible = true;
  bool config_exists = false;
  std::string config_path = "C:\\Prog\\Pelorin.ini";
  std::vector<ComPortNumber> reported_ports;
  std::optional<std::vector<SerialDeviceName>> devices;  // nothing: ports open by number
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
    window.OnShown();
  }

  bool ApplyEnabled() { return frame[F::ApplyButton].enabled; }

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
  window.Options().TurboSpeedMoved(77);
  ASSERT_TRUE(ApplyEnabled());
  window.OnShown();
  EXPECT_EQ(settings, host.stored);
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_EQ(options[O::TurboSpeedReadout].text, "25");
  EXPECT_EQ(frame.focused, F::Tabs);
}

TEST_F(PropertiesWindowTest, OkWithNothingChangedHidesWithoutWriting) {
  window.OkClicked();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.writes, 0);
  EXPECT_EQ(host.applies, 0);
}

TEST_F(PropertiesWindowTest, OkAppliesWritesAndHides) {
  window.Options().CheckBoxClicked(O::WarnPlayerMissingCheck, false);
  window.OkClicked();
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
  window.OkClicked();
  EXPECT_TRUE(host.visible);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(host.writes, 0);
  EXPECT_EQ(settings.Primary.Port, 5);  // the edit stays live

  window.ApplyClicked();
  EXPECT_TRUE(ApplyEnabled());

  window.CancelClicked();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Primary.Port, 1);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, CancelWithoutPendingChangesOnlyHides) {
  const int loads = host.loads;
  window.CancelClicked();
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.loads, loads);
}

TEST_F(PropertiesWindowTest, EscapeCancelsUnlessAKeyFieldHasTheFocus) {
  window.Editor().RowSelected(PortRole::Secondary, 1, kKeyboardButtonCommand);
  winamp.focused = W::SecondaryKeyField;
  // The focused field takes every key, so the window never sees Escape.
  EXPECT_TRUE(window.Editor().KeyDown(PortRole::Secondary, kEscapeKey));
  EXPECT_TRUE(host.visible);
  EXPECT_EQ(settings.Buttons[1][0].Key1, 27);
  EXPECT_EQ(winamp[W::SecondaryKeyField].text, "Escape");

  winamp.focused.reset();
  window.CancelClicked();  // Escape anywhere else reaches the window as Cancel
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Buttons[1][0].Key1, 0);  // pending edits dropped
}

TEST_F(PropertiesWindowTest, OkInAKeyFieldCapturesEnter) {
  window.Editor().RowSelected(PortRole::Primary, 3, kKeyboardButtonCommand);
  winamp.focused = W::PrimaryKeyField;
  window.OkClicked();
  EXPECT_TRUE(host.visible);
  EXPECT_EQ(settings.Buttons[0][0].Key3, 13);
  EXPECT_EQ(host.applies, 0);
}

TEST_F(PropertiesWindowTest, CloseBoxOfTheVisibleWindowCancels) {
  window.Options().ListSelected(O::TrayClickList, 5);
  EXPECT_FALSE(window.OnCloseRequest(true));
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(settings.Options.OnTrayClick, TrayClickAction::OpenSimpleVolumeControl);
  EXPECT_TRUE(window.OnCloseRequest(false));
}

TEST_F(PropertiesWindowTest, SecondaryBoxGreysTheSecondaryControlsOnThreeTabs) {
  window.UseSecondaryClicked(false);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_FALSE(settings.Options.UsePort2);
  for (C control : {C::SecondaryGroup, C::SecondaryRemapButton, C::SecondaryDcdIndicator,
                    C::SecondaryButton4Indicator, C::SecondaryCombinationLabel}) {
    EXPECT_FALSE(com[control].enabled);
  }
  EXPECT_TRUE(com[C::PrimaryGroup].enabled);
  EXPECT_EQ(com[C::SecondaryModeList].colour, Colour::ButtonFace);
  EXPECT_FALSE(winamp[W::SecondaryGroup].enabled);
  EXPECT_FALSE(winamp[W::SecondaryNextButton].enabled);
  EXPECT_TRUE(winamp[W::SecondaryRow3List].enabled);  // unusable through its group only
  EXPECT_EQ(winamp[W::SecondaryRow3List].colour, Colour::ButtonFace);
  EXPECT_FALSE(options[O::SecondaryLedConditionList].enabled);
  EXPECT_EQ(options[O::SecondaryLedModeList].colour, Colour::ButtonFace);
  EXPECT_TRUE(options[O::PrimaryLedModeList].enabled);

  window.UseSecondaryClicked(true);
  EXPECT_TRUE(com[C::SecondaryGroup].enabled);
  EXPECT_TRUE(winamp[W::SecondaryRow1Label].enabled);
  EXPECT_EQ(winamp[W::SecondaryButtonList].colour, Colour::Window);
  EXPECT_TRUE(options[O::SecondaryLedLabel].enabled);
}

TEST_F(PropertiesWindowTest, LoadingAClearedSecondaryBoxGreysItsControls) {
  host.stored.Options.UsePort2 = false;
  window.OnShown();
  EXPECT_FALSE(com[C::UseSecondaryCheck].checked);
  EXPECT_FALSE(com[C::SecondaryGroup].enabled);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, FifteenButtonModeFillsTheButtonList) {
  window.ComPorts().PortModeSelected(PortRole::Primary, 3);
  EXPECT_EQ(settings.Primary.Mode, PortMode::Fifteen);
  EXPECT_EQ(winamp[W::PrimaryButtonList].items.size(), 15u);
  EXPECT_EQ(winamp.SelectedText(W::PrimaryButtonList), "Button 1");
  EXPECT_TRUE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, StoredPortsAndModesAreShown) {
  host.stored.Secondary.Port = 16;
  host.stored.Secondary.Mode = PortMode::Buttons3And4Shifts;
  host.stored.Primary.Port = 0;
  window.OnShown();
  EXPECT_EQ(com.SelectedText(C::SecondaryPortList), "COM16");
  EXPECT_EQ(com[C::PrimaryPortList].selection, -1);
  EXPECT_EQ(winamp[W::SecondaryButtonList].items.size(), 8u);
  EXPECT_EQ(winamp[W::SecondaryButtonList].items[7],
            "Button3 (Shift1) +Button4 (Shift2) + Button 2");
}

// USB and Bluetooth adapters get numbers above 16: the lists add them after
// COM1..COM16, which keep their places, together with a chosen port the
// system no longer reports (an adapter unplugged since it was chosen).
TEST_F(PropertiesWindowTest, PortListsAddHigherReportedAndChosenPortsInNumberOrder) {
  host.reported_ports = {ComPortNumber{3}, ComPortNumber{40}, ComPortNumber{20}};
  host.stored.Primary.Port = 200;
  host.stored.Secondary.Port = 20;
  window.OnShown();
  std::vector<std::string> expected;
  for (int n = 1; n <= 16; ++n) expected.push_back("COM" + std::to_string(n));
  for (const char* higher : {"COM20", "COM40", "COM200"}) expected.emplace_back(higher);
  EXPECT_EQ(com[C::PrimaryPortList].items, expected);
  EXPECT_EQ(com[C::SecondaryPortList].items, expected);
  EXPECT_EQ(com.SelectedText(C::PrimaryPortList), "COM200");
  EXPECT_EQ(com.SelectedText(C::SecondaryPortList), "COM20");

  window.ComPorts().PortSelected(PortRole::Primary, 17);
  EXPECT_EQ(settings.Primary.Port, 40);
  window.ComPorts().PortSelected(PortRole::Primary, 2);
  EXPECT_EQ(settings.Primary.Port, 3);
  window.ComPorts().PortSelected(PortRole::Primary, 19);
  EXPECT_EQ(settings.Primary.Port, 0) << "past the end is no choice";
}

// Where ports are opened by path the lists offer the devices present, keep
// chosen devices that are gone, and a choice stores the device and leaves
// the port number to the edition without paths; elsewhere numbers as ever.
TEST_F(PropertiesWindowTest, PortListsOfferTheDevicesWherePortsOpenByPath) {
  const std::string by_id = "/dev/serial/by-id/usb-FTDI_A-if00-port0";
  host.devices = {{by_id, "ttyUSB0"}, {"/dev/ttyACM0", ""}};
  host.stored.Primary.Device = "/dev/ttyACM0";
  host.stored.Secondary.Device = "/dev/ttyUSB4";  // unplugged
  window.OnShown();
  const std::vector<std::string> listed{"usb-FTDI_A-if00-port0 (ttyUSB0)", "/dev/ttyACM0",
                                        "/dev/ttyUSB4"};
  EXPECT_EQ(com[C::PrimaryPortList].items, listed);
  EXPECT_EQ(com[C::PrimaryPortList].selection, 1);
  EXPECT_EQ(com[C::SecondaryPortList].selection, 2);
  window.ComPorts().PortSelected(PortRole::Primary, 0);
  window.OkClicked();
  EXPECT_EQ(host.stored.Primary.Device, by_id);
  EXPECT_EQ(host.stored.Primary.Port, 1);

  host.devices = std::vector<SerialDeviceName>{};
  host.stored.Secondary.Device.clear();
  window.OnShown();
  EXPECT_EQ(com[C::SecondaryPortList].items, std::vector<std::string>{by_id});
  EXPECT_EQ(com[C::PrimaryPortList].selection, 0);
  EXPECT_EQ(com[C::SecondaryPortList].selection, -1) << "no device chosen: its number decides";
  window.ComPorts().PortSelected(PortRole::Secondary, 1);
  EXPECT_FALSE(ApplyEnabled()) << "past the end is no choice";

  host.devices.reset();
  window.OnShown();
  EXPECT_EQ(com.SelectedText(C::PrimaryPortList), "COM1");
  window.ComPorts().PortSelected(PortRole::Primary, 2);
  window.OkClicked();
  EXPECT_EQ(host.stored.Primary.Port, 3);
  EXPECT_EQ(host.stored.Primary.Device, by_id);
}

struct SpeedReadout {
  int stored;
  const char* shown;
};

class SpeedReadoutTest : public PropertiesWindowTest,
                         public ::testing::WithParamInterface<SpeedReadout> {};

TEST_P(SpeedReadoutTest, LoadedDoubleClickSpeedIsReadOut) {
  host.stored.Options.DblClickSpeed = GetParam().stored;
  window.OnShown();
  EXPECT_EQ(options[O::DoubleClickSpeedReadout].text, GetParam().shown);
  EXPECT_EQ(options[O::DoubleClickSpeedBar].position, GetParam().stored);
  EXPECT_FALSE(ApplyEnabled());
}

INSTANTIATE_TEST_SUITE_P(Positions, SpeedReadoutTest,
                         ::testing::Values(SpeedReadout{10, "1sec"}, SpeedReadout{3, "300ms"},
                                           SpeedReadout{1, "100ms"}, SpeedReadout{9, "900ms"}));

TEST_F(PropertiesWindowTest, TrackBarsReadOutAndMarkPendingChanges) {
  window.Options().DoubleClickSpeedMoved(4);
  EXPECT_EQ(options[O::DoubleClickSpeedReadout].text, "400ms");
  EXPECT_EQ(settings.Options.DblClickSpeed, 4);
  EXPECT_TRUE(ApplyEnabled());
  window.Options().TurboSpeedMoved(100);
  EXPECT_EQ(options[O::TurboSpeedReadout].text, "100");
  EXPECT_EQ(settings.Options.TurboCPS, 100);
}

TEST_F(PropertiesWindowTest, TurboTicksArePlacedOnce) {
  window.TabSelected(1);
  EXPECT_EQ(options[O::TurboSpeedBar].tick_calls, 0);
  window.TabSelected(kOptionsTabIndex);
  window.OnPaint();
  window.TabSelected(kOptionsTabIndex);
  EXPECT_EQ(options[O::TurboSpeedBar].tick_calls, 1);
  EXPECT_EQ(options[O::TurboSpeedBar].ticks,
            (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(options[O::TurboSpeedBar].page_step, 10);
}

TEST_F(PropertiesWindowTest, TestPictureFlipsOnEveryRequest) {
  EXPECT_EQ(options[O::DoubleClickTestPicture].selection, 0);
  window.Options().FlipTestPicture();
  EXPECT_EQ(options[O::DoubleClickTestPicture].selection, 1);
  window.Options().FlipTestPicture();
  EXPECT_EQ(options[O::DoubleClickTestPicture].selection, 0);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, HiddenConnectionTypeIsKept) {
  host.stored.Options.InternetType = ConnectionType::NoConnection;
  window.OnShown();
  EXPECT_FALSE(options[O::InternetList].visible);
  EXPECT_EQ(options[O::InternetList].selection, 2);
  window.Options().CheckBoxClicked(O::StartWithWindowsCheck, false);
  window.ApplyClicked();
  EXPECT_EQ(host.stored.Options.InternetType, ConnectionType::NoConnection);
}

TEST_F(PropertiesWindowTest, MediaKeysAreTheLastPlayerAbsentChoiceAndAreApplied) {
  EXPECT_EQ(
      options[O::InactiveList].items,
      (std::vector<std::string>{"Start Winamp", "Ask every click to start", "Ask once to start",
                                "Do nothing", "Send media keys (any player)"}));
  window.Options().ListSelected(O::InactiveList, 4);
  window.ApplyClicked();
  EXPECT_EQ(host.stored.Options.IfInactive, InactivePolicy::SendMediaKeys);
  window.OnShown();
  EXPECT_EQ(options[O::InactiveList].selection, 4);
}

TEST_F(PropertiesWindowTest, BrowseLoadsAnExistingFileOrSavesIntoANewOne) {
  host.config_path = "Pelorin.ini";  // no backslash: start from the default
  dialogs.next_choice = "D:\\cfg\\other.ini";
  host.config_exists = true;
  host.stored.Options.TurboCPS = 60;
  window.BrowseConfigClicked();
  ASSERT_EQ(dialogs.saved.size(), 1u);
  const FileDialogRequest& request = dialogs.saved[0];
  EXPECT_EQ(request.title, "Use config file:");
  EXPECT_EQ(request.filter, "INI files|*.ini|All files|*.*");
  EXPECT_EQ(request.default_extension, "ini");
  EXPECT_EQ(request.initial_directory, "C:\\Prog");
  EXPECT_EQ(request.file_name, "Pelorin.ini");
  EXPECT_FALSE(request.prompt_overwrite);
  EXPECT_EQ(settings.Options.TurboCPS, 60);
  EXPECT_EQ(options[O::ConfigFileField].text, "D:\\cfg\\other.ini");

  host.config_exists = false;
  dialogs.next_choice = "D:\\cfg\\new.ini";
  const int writes = host.writes;
  window.BrowseConfigClicked();
  EXPECT_EQ(dialogs.saved[1].initial_directory, "D:\\cfg");
  EXPECT_EQ(dialogs.saved[1].file_name, "other.ini");
  EXPECT_EQ(host.writes, writes + 1);

  // Cancelled, also when the dialog started from the default path in place
  // of a name without a folder: the path, the field and the files stay.
  host.config_path = "pel.ini";
  options[O::ConfigFileField].text = "pel.ini";
  dialogs.next_choice.reset();
  const int loads = host.loads;
  window.BrowseConfigClicked();
  EXPECT_EQ(dialogs.saved.back().initial_directory, "C:\\Prog");
  EXPECT_EQ(host.config_path, "pel.ini");
  EXPECT_EQ(options[O::ConfigFileField].text, "pel.ini");
  EXPECT_EQ(host.writes, writes + 1);
  EXPECT_EQ(host.loads, loads);
}

TEST_F(PropertiesWindowTest, RemapDialogDisablesTheWindowWhileShown) {
  window.SecondaryRemapClicked();
  EXPECT_TRUE(secondary_remap.IsShown());
  EXPECT_FALSE(frame[F::Window].enabled);
  secondary_remap.OkClicked();
  EXPECT_TRUE(frame[F::Window].enabled);
  EXPECT_FALSE(ApplyEnabled());  // the line map is stored by the dialog itself
}

TEST_F(PropertiesWindowTest, IndicatorsFollowTheLinesAndTheCode) {
  window.ComPorts().ShowLines(PortRole::Secondary, {.dsr = true, .ri = true});
  EXPECT_TRUE(com[C::SecondaryDsrIndicator].checked);
  EXPECT_TRUE(com[C::SecondaryRiIndicator].checked);
  EXPECT_FALSE(com[C::SecondaryDcdIndicator].checked);
  EXPECT_FALSE(com[C::PrimaryDsrIndicator].checked);

  PortIndicators indicators;
  indicators.Update(PortRole::Primary, DecodeHardwareButtons({.cts = true, .ri = true}, {}),
                    window.ComPorts());
  EXPECT_TRUE(com[C::PrimaryButton3Indicator].checked);
  EXPECT_TRUE(com[C::PrimaryButton4Indicator].checked);
  EXPECT_EQ(com[C::PrimaryCombinationIndicator].text, "12");
  EXPECT_TRUE(com[C::PrimaryCombinationIndicator].checked);
  indicators.Update(PortRole::Primary, DecodeHardwareButtons({}, {}), window.ComPorts());
  EXPECT_EQ(com[C::PrimaryCombinationIndicator].text, "");
  EXPECT_FALSE(com[C::PrimaryCombinationIndicator].checked);
  EXPECT_EQ(com[C::SecondaryButton1Indicator].text, "5");
}

}  // namespace
}  // namespace pelorin
