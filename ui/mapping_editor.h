#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "actions/command_catalogue.h"
#include "config/settings.h"
#include "ui/controls_view.h"
#include "ui/file_dialogs.h"
#include "ui/virtual_keys.h"

namespace pelorin {

// Controls of the "Winamp" tab. The secondary group repeats the primary
// group's controls in the same order, so a group's control is found by
// offset (WinampControlOf).
enum class WinampControl {
  // The primary group.
  PrimaryGroup,
  PrimaryButtonLabel,
  PrimaryButtonList,
  PrimaryPreviousButton,
  PrimaryNextButton,
  PrimaryClickModeLabel,
  PrimaryClickModeList,
  PrimaryInactiveLabel,
  PrimaryInactiveList,
  PrimaryRow1Label,
  PrimaryRow2Label,
  PrimaryRow3Label,
  PrimaryRow1List,
  PrimaryRow2List,
  PrimaryRow3List,
  PrimaryExtraPages,
  PrimaryKeyField,
  PrimaryShiftCheck,
  PrimaryCtrlCheck,
  PrimaryAltCheck,
  PrimaryFileField,
  PrimaryBrowseFileButton,
  // The secondary group, in the same order.
  SecondaryGroup,
  SecondaryButtonLabel,
  SecondaryButtonList,
  SecondaryPreviousButton,
  SecondaryNextButton,
  SecondaryClickModeLabel,
  SecondaryClickModeList,
  SecondaryInactiveLabel,
  SecondaryInactiveList,
  SecondaryRow1Label,
  SecondaryRow2Label,
  SecondaryRow3Label,
  SecondaryRow1List,
  SecondaryRow2List,
  SecondaryRow3List,
  SecondaryExtraPages,
  SecondaryKeyField,
  SecondaryShiftCheck,
  SecondaryCtrlCheck,
  SecondaryAltCheck,
  SecondaryFileField,
  SecondaryBrowseFileButton,
};
inline constexpr int kWinampGroupSize =
    static_cast<int>(WinampControl::SecondaryGroup) - static_cast<int>(WinampControl::PrimaryGroup);

// The control of port 1 or 2 that corresponds to the primary group's `primary`.
constexpr WinampControl WinampControlOf(PortRole port, WinampControl primary) {
  return static_cast<WinampControl>(static_cast<int>(primary) +
                                    static_cast<int>(IndexOf(port)) * kWinampGroupSize);
}

// Pages of the extra-settings area (`PrimaryExtraPages`, `SecondaryExtraPages`).
enum class ExtraPage { No = 0, Key = 1, File = 2 };
// The modifier check boxes S, C and A of the "Key" page.
enum class KeyModifier { Shift, Ctrl, Alt };

// Command ids with an extra-settings page of their own.
inline constexpr int kKeyboardButtonCommand = command::kKeyboardButton;
inline constexpr int kStartFileCommand = command::kStartFile;

using WinampView = ControlsView<WinampControl>;

// The mapping editor: both port groups of the "Winamp" tab. It edits the live
// button table of Settings in place; every user edit also reports a pending
// change through `modified`. Ports are numbered 1 (primary) and 2.
class MappingEditor {
 public:
  MappingEditor(Settings& settings, WinampView& view, FileDialogs& dialogs,
                std::function<void()> modified);

  // Fixed texts and list entries; called once when the view exists.
  void Initialise();
  // Gives each of the six row lists the command catalogue in CommandId order.
  void FillCommandLists(const std::vector<std::string>& commands);

  // Rebuilds the port's button list for `port_mode`, selects the first button
  // and shows it. A mode outside 0..3 leaves the list's entries as they were
  // but still selects and shows the first. Slots beyond the new list keep
  // their values.
  void RebuildButtonList(PortRole port, PortMode port_mode);
  // Enables the secondary group and gives its lists the matching colour.
  void SetSecondaryEnabled(bool enabled);
  // True while the port's key-capture field has the input focus; the window
  // then hands Escape and Enter to KeyDown instead of cancelling or applying.
  bool KeyFieldFocused(PortRole port) const;

  // User events.
  void ButtonSelected(PortRole port, int index);
  void PreviousButtonPressed(PortRole port);
  void NextButtonPressed(PortRole port);
  void ClickModeSelected(PortRole port, int index);
  void InactiveSelected(PortRole port, int index);
  void RowSelected(PortRole port, int row, int index);
  void RowEntered(PortRole port, int row);
  // A key-down in the key field; `virtual_key` is the key's own code, whatever
  // modifiers are held. Returns false for Tab, which the field lets through.
  bool KeyDown(PortRole port, int virtual_key);
  void ModifierClicked(PortRole port, KeyModifier modifier, bool checked);
  void FileTextChanged(PortRole port, const std::string& text);
  void BrowseFileClicked(PortRole port);

  // The editor's state of one group, for the view's tests and for the poll
  // cycle's needs (the selected slot index, -1 before any list exists).
  int SelectedSlot(PortRole port) const { return group(port).selected; }
  int AreaEventSlot(PortRole port) const { return group(port).area_slot; }

 private:
  struct Group {
    int list_size = 0;
    int selected = -1;  // slot index shown, -1 when the list is empty
    int area_slot = 0;  // event slot of the Key/File page, 0 = none yet
    int key_code = 0;   // virtual-key code shown in the key field
    bool shift = false, ctrl = false, alt = false;
    std::string file_text;  // the file field's text as last shown or typed
  };

  Group& group(PortRole port) { return groups_[IndexOf(port)]; }
  const Group& group(PortRole port) const { return groups_[IndexOf(port)]; }
  ButtonSlot* SelectedButton(PortRole port);
  WinampControl Id(PortRole port, WinampControl primary) const {
    return WinampControlOf(port, primary);
  }

  void ShowSelectedButton(PortRole port);
  void LayOutRows(PortRole port, int click_mode);
  void ShowExtraArea(PortRole port, int row);
  void StoreKeyWord(PortRole port);
  void StoreFileText(PortRole port);

  Settings& settings_;
  WinampView& view_;
  FileDialogs& dialogs_;
  std::function<void()> modified_;
  int command_count_ = 0;  // entries of each row's command list
  Group groups_[kPortCount];
};

// The open dialog of the "..." button for a file field holding `text`: the
// part between the first two double quotes gives the initial folder (before
// its last backslash, all of it without one) and the preset file name (after).
FileDialogRequest StartFileDialogRequest(const std::string& text);

}  // namespace pelorin
