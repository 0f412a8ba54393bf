#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/settings.h"
#include "ui/com_ports_tab.h"
#include "ui/controls_view.h"
#include "ui/file_dialogs.h"
#include "ui/mapping_editor.h"
#include "ui/options_tab.h"
#include "ui/remap_dialog.h"
#include "ui/virtual_keys.h"

namespace pelorin {

// Controls of the window frame; `Window` is the properties window itself.
enum class FrameControl { Window, Tabs, OkButton, CancelButton, ApplyButton };
using FrameView = ControlsView<FrameControl>;

// Tab indexes of `FrameControl::Tabs`.
inline constexpr int kOptionsTabIndex = 2;

// What the properties window needs from the rest of the program.
class PropertiesHost {
 public:
  virtual ~PropertiesHost() = default;
  // Replaces the whole live Settings, line maps included, with the stored
  // values (defaults for missing ones). Touches no control: the window shows
  // the result itself.
  virtual void LoadSettings() = 0;
  // Writes the whole live Settings, both line maps included, to the store.
  virtual void WriteSettings() = 0;
  // Re-opens the ports; false after a port error (already shown to the user).
  virtual bool ApplySettings() = 0;
  // Lets the player-absent policy ask again after a successful Apply.
  virtual void ResetAskOnce() = 0;
  virtual void HideWindow() = 0;
  // The configuration file in use and the one beside the executable.
  virtual std::string ConfigFilePath() = 0;
  virtual std::string DefaultConfigFilePath() = 0;
  // Re-opens the store on `path`; returns whether that file existed.
  virtual bool UseConfigFile(const std::string& path) = 0;
  // The serial ports the system reports now, for the port lists.
  virtual std::vector<ComPortNumber> ReportedPorts() = 0;
  // The serial devices present now, where ports are opened by path: the
  // port lists then offer these instead of port numbers. Nothing where
  // ports are opened by number only (the default).
  virtual std::optional<std::vector<SerialDeviceName>> ReportedDevices() { return std::nullopt; }
};

// The properties window as a frame: pending changes, OK, Cancel and Apply,
// the window's keys, and the coordination of its tabs. The tabs' own
// presenters are reachable for the view's wiring and for the poll cycle.
class PropertiesWindow {
 public:
  PropertiesWindow(Settings& settings, PropertiesHost& host, FrameView& frame_view,
                   ComPortsView& com_view, WinampView& winamp_view, OptionsView& options_view,
                   FileDialogs& dialogs, RemapDialog& primary_remap, RemapDialog& secondary_remap);

  // Texts and the initial layout of the frame and the three setting tabs:
  // "COM ports" active, "&Apply" disabled, "Use secondary COM-port" ticked.
  void Initialise();

  ComPortsTab& ComPorts() { return com_ports_; }
  MappingEditor& Editor() { return editor_; }
  OptionsTab& Options() { return options_; }

  // Replaces the live Settings with the stored ones, shows them on every tab
  // and ends without pending changes.
  void ReadSettings();
  // The common "modified" handler: enters the pending-changes state.
  void SettingChanged();
  bool PendingChanges() const { return pending_; }

  // Window events. The view keeps the window-system parts of showing
  // (taskbar, centring, size) and calls this for the rest.
  void OnShown();
  void OkClicked();
  void CancelClicked();
  void ApplyClicked();
  // A close request; returns whether the window may close. A visible window
  // refuses and cancels instead.
  bool OnCloseRequest(bool window_visible);
  void OnPaint();
  void TabSelected(int tab_index);
  void PrimaryRemapClicked() { primary_remap_.Show(); }
  void SecondaryRemapClicked() { secondary_remap_.Show(); }
  void UseSecondaryClicked(bool ticked);
  void BrowseConfigClicked();

 private:
  void SetPending(bool pending);
  void SetSecondaryEnabled(bool enabled);

  Settings& settings_;
  PropertiesHost& host_;
  FrameView& view_;
  RemapDialog& primary_remap_;
  RemapDialog& secondary_remap_;
  MappingEditor editor_;
  ComPortsTab com_ports_;
  OptionsTab options_;
  bool pending_ = false;
};

}  // namespace pelorin
