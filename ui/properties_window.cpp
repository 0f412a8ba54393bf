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
      editor_(settings, winamp_view, dialogs, [this] { ComboBox1Change(); }),
      com_ports_(settings, com_view, editor_, [this] { ComboBox1Change(); }),
      options_(settings, options_view, dialogs, [this] { ComboBox1Change(); }) {}

void PropertiesWindow::Initialise() {
  view_.SetText(FrameControl::Window, kMainWindowCaption);
  view_.SetItems(FrameControl::PageControl1, {"COM ports", "Winamp", "Options", "Help", "About"});
  view_.SetSelection(FrameControl::PageControl1, 0);
  view_.SetText(FrameControl::Button1, "OK");
  view_.SetText(FrameControl::Button2, "Cancel");
  view_.SetText(FrameControl::Button3, "&Apply");
  editor_.Initialise();
  com_ports_.Initialise();
  options_.Initialise();
  SetSecondaryEnabled(true);
  SetPending(false);
}

void PropertiesWindow::ReadSettings() {
  host_.LoadSettings();
  options_.ShowConfigPath(host_.ConfigFilePath());
  com_ports_.ShowSettings();
  // The box keeps its controls in step: a loaded value that differs from what
  // the box shows runs the box's handler.
  if (settings_.Options.UsePort2 != com_ports_.Port2BoxTicked()) {
    CheckBoxPort2Click(settings_.Options.UsePort2);
  }
  options_.ShowSettings();
  primary_remap_.ShowLineMap();
  secondary_remap_.ShowLineMap();
  SetPending(false);
}

void PropertiesWindow::ComboBox1Change() {
  SetPending(true);
}

void PropertiesWindow::FormShow() {
  view_.SetFocus(FrameControl::PageControl1);
  ReadSettings();
}

void PropertiesWindow::Button1Click() {
  // Enter in a key-capture field is a key to capture, not OK.
  for (PortRole port : kPortRoles) {
    if (editor_.KeyFieldFocused(port)) {
      editor_.KeyDown(port, kEnterKey);
      return;
    }
  }
  if (pending_) Button3Click();
  // After a failed Apply the window stays open with its edits.
  if (!pending_) Button2Click();
}

void PropertiesWindow::Button2Click() {
  host_.HideWindow();
  if (pending_) ReadSettings();
}

void PropertiesWindow::Button3Click() {
  // A failed Apply has shown the port error; the edits stay live and unsaved.
  if (!host_.ApplySettings()) return;
  SetPending(false);
  host_.WriteSettings();
  host_.ResetAskOnce();
}

bool PropertiesWindow::FormKeyDown(int virtual_key) {
  if (virtual_key != kEscapeKey || KeyFieldFocused()) return false;
  Button2Click();
  return true;
}

bool PropertiesWindow::FormCloseQuery(bool window_visible) {
  if (!window_visible) return true;
  Button2Click();
  return false;
}

void PropertiesWindow::FormPaint() {
  options_.PlaceTurboTicks();
}

void PropertiesWindow::PageControl1Change(int tab_index) {
  if (tab_index == kOptionsTabIndex) options_.PlaceTurboTicks();
}

void PropertiesWindow::CheckBoxPort2Click(bool ticked) {
  // The click neither opens nor closes the secondary port; Apply does.
  settings_.Options.UsePort2 = ticked;
  com_ports_.ShowPort2Box(ticked);
  SetSecondaryEnabled(ticked);
  ComboBox1Change();
}

void PropertiesWindow::ButtonCfgClick() {
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
  view_.SetEnabled(FrameControl::Button3, pending);
}

void PropertiesWindow::SetSecondaryEnabled(bool enabled) {
  com_ports_.SetSecondaryEnabled(enabled);
  editor_.SetSecondaryEnabled(enabled);
  options_.SetSecondaryEnabled(enabled);
}

bool PropertiesWindow::KeyFieldFocused() const {
  for (PortRole port : kPortRoles) {
    if (editor_.KeyFieldFocused(port)) return true;
  }
  return false;
}

}  // namespace pelorin
