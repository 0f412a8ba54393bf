#pragma once
#include <functional>
#include <optional>
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"
#include "engine/cycle_views.h"
#include "ui/controls_view.h"
#include "ui/file_dialogs.h"

namespace pelorin {

// Controls of the "Options" tab.
enum class OptionsControl {
  InactiveLabel,
  InactiveList,
  TrayClickLabel,
  TrayClickList,
  StartWithWindowsCheck,
  StartPlayerCheck,
  WarnPlayerMissingCheck,
  DoubleClickSpeedLabel,
  DoubleClickSpeedBar,
  DoubleClickSpeedMinLabel,
  DoubleClickSpeedMaxLabel,
  DoubleClickSpeedReadout,
  TurboSpeedLabel,
  TurboSpeedBar,
  TurboSpeedMinLabel,
  TurboSpeedMaxLabel,
  TurboSpeedReadout,
  DoubleClickTestLabel,
  DoubleClickTestPicture,
  LedGroup,
  PrimaryLedLabel,
  PrimaryLedModeList,
  PrimaryLedWhenLabel,
  PrimaryLedConditionList,
  SecondaryLedLabel,
  SecondaryLedModeList,
  SecondaryLedWhenLabel,
  SecondaryLedConditionList,
  ConfigFileLabel,
  ConfigFileField,
  BrowseConfigButton,
  InternetLabel,
  InternetList,
};

using OptionsView = ControlsView<OptionsControl>;

// The read-out under the double-click speed track bar: "1sec" at 10, else the
// position times 100 followed by "ms".
std::string DoubleClickSpeedText(int position);

// The "Options" tab: global options, LED choices and the configuration file.
// Every edit goes straight into the live Settings and reports a pending change.
class OptionsTab final : public DoubleClickTestView, public SettingsView {
 public:
  OptionsTab(Settings& settings, OptionsView& view, FileDialogs& dialogs,
             std::function<void()> modified);

  // Fixed texts, list entries, ranges and the first test picture.
  void Initialise();
  // Shows the live Settings, read-outs included (the caller clears pending
  // changes after).
  void ShowSettings();
  // SettingsView: the store names the file in use. The properties window
  // refreshes every tab itself after a load, so the load's other news needs
  // nothing here.
  void ShowConfigPath(const std::string& path) override;
  void PortModeLoaded(PortRole) override {}
  void SettingsLoaded() override {}

  // User events of the lists and check boxes listed in the enumeration;
  // other controls are ignored.
  void ListSelected(OptionsControl control, int index);
  void CheckBoxClicked(OptionsControl control, bool checked);
  void DoubleClickSpeedMoved(int position);
  void TurboSpeedMoved(int position);

  // The turbo track bar's own ticks at 10 .. 90; placed once per run, the
  // first time the window is painted or the tab is opened.
  void PlaceTurboTicks();
  // The poll cycle's request after a quick second press of any button.
  void FlipTestPicture() override;
  int TestPicture() const { return test_picture_; }
  // Enables the secondary LED controls and colours their lists.
  void SetSecondaryEnabled(bool enabled);

  // "Browse...": asks for another configuration file, starting from
  // `current_path` (or `default_path` when the current one has no
  // backslash). Returns the chosen path, nothing when cancelled.
  std::optional<std::string> AskConfigFile(const std::string& current_path,
                                           const std::string& default_path);

 private:
  // Stores entry `index` (not negative) of the list that `control` shows in
  // its setting; false for a control that shows no stored list.
  bool StoreListChoice(OptionsControl control, int index);
  bool* CheckField(OptionsControl control);

  Settings& settings_;
  OptionsView& view_;
  FileDialogs& dialogs_;
  std::function<void()> modified_;
  bool turbo_ticks_placed_ = false;
  int test_picture_ = 0;
};

}  // namespace pelorin
