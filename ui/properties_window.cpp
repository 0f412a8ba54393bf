#include "ui/properties_window.h"

#include "platform/identity.h"

namespace pelorin {

PropertiesWindow::PropertiesWindow(
    Settings& settings, PropertiesHost& host, FrameView& frame_view, ComPortsView& com_view,
    WinampView& winamp_view, OptionsView& options_view, FileDialogs& dialogs,
    // Same-typed on purpose: the two dialogs, each of which knows its own role.
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
    RemapDialog& primary_remap, RemapDialog& secondary_remap)
    : settings_(settings),
      host_(host),
      view_(frame_view),
      primary_remap_(primary_remap),
      secondary_remap_(secondary_remap),
      editor_(settings, winamp_view, dialogs, [this] { SettingChanged(); }),
      com_ports_(settings, com_view, editor_, [this] { SettingChanged(); }),
      options_(settings, options_view, dialogs, [this] { SettingChanged(); }) {}

void PropertiesWindow::Initialise() {
  view_.SetText(FrameControl::Window, kMainWindowCaption);
  view_.SetItems(FrameControl::Tabs, {"COM ports", "Winamp", "Options", "Help", "About"});
  view_.SetSelection(FrameControl::Tabs, 0);
  view_.SetText(FrameControl::OkButton, "OK");
  view_.SetText(FrameControl::CancelButton, "Cancel");
  view_.SetText(FrameControl::ApplyButton, "&Apply");
  editor_.Initialise();
  com_ports_.Initialise();
  options_.Initialise();
  SetSecondaryEnabled(true);
  SetPending(false);
}

void PropertiesWindow::ReadSettings() {
  host_.LoadSettings();
  options_.ShowConfigPath(host_.ConfigFilePath());
  com_ports_.ShowSettings(host_.ReportedPorts(), host_.ReportedDevices());
  // The box keeps its controls in step: a loaded value that differs from what
  // the box shows runs the box's handler.
  if (settings_.Options.UsePort2 != com_ports_.UseSecondaryTicked()) {
    UseSecondaryClicked(settings_.Options.UsePort2);
  }
  options_.ShowSettings();
  primary_remap_.ShowLineMap();
  secondary_remap_.ShowLineMap();
  SetPending(false);
}

void PropertiesWindow::SettingChanged() {
  SetPending(true);
}

void PropertiesWindow::OnShown() {
  view_.SetFocus(FrameControl::Tabs);
  ReadSettings();
}

void PropertiesWindow::OkClicked() {
  // Enter in a key-capture field is a key to capture, not OK.
  for (PortRole port : kPortRoles) {
    if (editor_.KeyFieldFocused(port)) {
      editor_.KeyDown(port, kEnterKey);
      return;
    }
  }
  if (pending_) ApplyClicked();
  // After a failed Apply the window stays open with its edits.
  if (!pending_) CancelClicked();
}

void PropertiesWindow::CancelClicked() {
  host_.HideWindow();
  if (pending_) ReadSettings();
}

void PropertiesWindow::ApplyClicked() {
  // A failed Apply has shown the port error; the edits stay live and unsaved.
  if (!host_.ApplySettings()) return;
  SetPending(false);
  host_.WriteSettings();
  host_.ResetAskOnce();
}

bool PropertiesWindow::OnCloseRequest(bool window_visible) {
  if (!window_visible) return true;
  CancelClicked();
  return false;
}

void PropertiesWindow::OnPaint() {
  options_.PlaceTurboTicks();
}

void PropertiesWindow::TabSelected(int tab_index) {
  if (tab_index == kOptionsTabIndex) options_.PlaceTurboTicks();
}

void PropertiesWindow::UseSecondaryClicked(bool ticked) {
  // The click neither opens nor closes the secondary port; Apply does.
  settings_.Options.UsePort2 = ticked;
  com_ports_.ShowUseSecondary(ticked);
  SetSecondaryEnabled(ticked);
  SettingChanged();
}

void PropertiesWindow::BrowseConfigClicked() {
  const auto chosen = options_.AskConfigFile(host_.ConfigFilePath(), host_.DefaultConfigFilePath());
  if (!chosen) return;
  const bool existed = host_.UseConfigFile(*chosen);
  options_.ShowConfigPath(*chosen);
  // An existing file is loaded; a new one receives the current Settings.
  if (existed) {
    ReadSettings();
  } else {
    host_.WriteSettings();
  }
}

void PropertiesWindow::SetPending(bool pending) {
  pending_ = pending;
  view_.SetEnabled(FrameControl::ApplyButton, pending);
}

void PropertiesWindow::SetSecondaryEnabled(bool enabled) {
  com_ports_.SetSecondaryEnabled(enabled);
  editor_.SetSecondaryEnabled(enabled);
  options_.SetSecondaryEnabled(enabled);
}

}  // namespace pelorin
