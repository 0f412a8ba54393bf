#include "ui/mapping_editor.h"

#include <utility>

#include "actions/keys_and_start.h"
#include "config/lists.h"
#include "input/decoder.h"

namespace pelorin {
namespace {

using W = WinampControl;

constexpr W kRowLists[3] = {W::PrimaryRow1List, W::PrimaryRow2List, W::PrimaryRow3List};
constexpr W kRowLabels[3] = {W::PrimaryRow1Label, W::PrimaryRow2Label, W::PrimaryRow3Label};

std::vector<std::string> Texts(auto const& list) {
  return {list.begin(), list.end()};
}

// A list position for a stored value, or no selection when it lies outside.
int ListPosition(int value, int list_size) {
  return value >= 0 && value < list_size ? value : -1;
}

std::uint8_t& FuncOf(ButtonSlot& slot, int row) {
  if (row == 1) return slot.Func1;
  if (row == 2) return slot.Func2;
  return slot.Func3;
}
std::uint16_t& KeyOf(ButtonSlot& slot, int row) {
  if (row == 1) return slot.Key1;
  if (row == 2) return slot.Key2;
  return slot.Key3;
}
std::string& ExecOf(ButtonSlot& slot, int row) {
  if (row == 1) return slot.Exec1;
  if (row == 2) return slot.Exec2;
  return slot.Exec3;
}

}  // namespace

FileDialogRequest StartFileDialogRequest(const std::string& text) {
  std::string quoted;
  const auto first = text.find('"');
  if (first != std::string::npos) {
    const auto second = text.find('"', first + 1);
    if (second != std::string::npos) quoted = text.substr(first + 1, second - first - 1);
  }
  FileDialogRequest request;
  request.title = "Select file to start:";
  request.filter = "All files (*.*)|*.*";
  request.path_must_exist = true;
  request.file_must_exist = true;
  const auto backslash = quoted.rfind('\\');
  if (backslash == std::string::npos) {
    request.initial_directory = quoted;
  } else {
    request.initial_directory = quoted.substr(0, backslash);
    request.file_name = quoted.substr(backslash + 1);
  }
  return request;
}

MappingEditor::MappingEditor(Settings& settings, WinampView& view, FileDialogs& dialogs,
                             std::function<void()> modified)
    : settings_(settings), view_(view), dialogs_(dialogs), modified_(std::move(modified)) {}

void MappingEditor::Initialise() {
  for (PortRole port : kPortRoles) {
    const bool primary = port == PortRole::Primary;
    view_.SetText(Id(port, W::PrimaryGroup), primary ? "Primary COM port" : "Secondary COM port");
    view_.SetText(Id(port, W::PrimaryButtonLabel), "Button:");
    view_.SetText(Id(port, W::PrimaryClickModeLabel), "Type:");
    view_.SetText(Id(port, W::PrimaryInactiveLabel), "If Winamp isn't running:");
    view_.SetItems(Id(port, W::PrimaryClickModeList), Texts(lists::kClickMode));
    view_.SetItems(Id(port, W::PrimaryInactiveList), primary ? Texts(lists::kButtonInactivePrimary)
                                                        : Texts(lists::kButtonInactiveSecondary));
    view_.SetText(Id(port, W::PrimaryShiftCheck), "S");
    view_.SetHint(Id(port, W::PrimaryShiftCheck), "Shift");
    view_.SetText(Id(port, W::PrimaryCtrlCheck), "C");
    view_.SetHint(Id(port, W::PrimaryCtrlCheck), "Ctrl");
    view_.SetText(Id(port, W::PrimaryAltCheck), "A");
    view_.SetHint(Id(port, W::PrimaryAltCheck), "Alt");
    view_.SetText(Id(port, W::PrimaryBrowseFileButton), "...");
    view_.SetSelection(Id(port, W::PrimaryExtraPages), static_cast<int>(ExtraPage::No));
  }
}

void MappingEditor::FillCommandLists(const std::vector<std::string>& commands) {
  command_count_ = static_cast<int>(commands.size());
  for (PortRole port : kPortRoles) {
    for (W row_list : kRowLists) view_.SetItems(Id(port, row_list), commands);
    // Refilling drops the lists' selections; a shown button gets them back.
    if (group(port).selected >= 0) ShowSelectedButton(port);
  }
}

void MappingEditor::RebuildButtonList(PortRole port, PortMode port_mode) {
  const std::vector<std::string> names = ButtonNames(port_mode);
  Group& g = group(port);
  // Without a mode the list keeps its entries; its first entry is still
  // selected and shown afresh, since the slots may hold new values (a load).
  if (!names.empty()) {
    view_.SetItems(Id(port, W::PrimaryButtonList), names);
    g.list_size = static_cast<int>(names.size());
  }
  if (g.list_size == 0) return;
  g.selected = 0;
  view_.SetSelection(Id(port, W::PrimaryButtonList), 0);
  ShowSelectedButton(port);
}

void MappingEditor::SetSecondaryEnabled(bool enabled) {
  constexpr W kEnabled[] = {
      W::SecondaryGroup,         W::SecondaryButtonLabel,    W::SecondaryClickModeLabel,
      W::SecondaryRow1Label,     W::SecondaryRow2Label,      W::SecondaryRow3Label,
      W::SecondaryInactiveLabel, W::SecondaryPreviousButton, W::SecondaryNextButton};
  // The lists stay enabled themselves; their disabled group stops them, and
  // the button-face colour makes them look unusable.
  constexpr W kColoured[] = {W::SecondaryButtonList,   W::SecondaryRow1List,
                             W::SecondaryRow2List,     W::SecondaryRow3List,
                             W::SecondaryInactiveList, W::SecondaryClickModeList};
  for (W control : kEnabled) view_.SetEnabled(control, enabled);
  for (W control : kColoured)
    view_.SetColour(control, enabled ? Colour::Window : Colour::ButtonFace);
}

bool MappingEditor::KeyFieldFocused(PortRole port) const {
  return view_.HasFocus(WinampControlOf(port, W::PrimaryKeyField));
}

void MappingEditor::ButtonSelected(PortRole port, int index) {
  Group& g = group(port);
  if (index < 0 || index >= g.list_size) return;
  g.selected = index;
  ShowSelectedButton(port);
}

void MappingEditor::PreviousButtonPressed(PortRole port) {
  Group& g = group(port);
  if (g.selected > 0) view_.SetSelection(Id(port, W::PrimaryButtonList), --g.selected);
  ShowSelectedButton(port);
}

void MappingEditor::NextButtonPressed(PortRole port) {
  Group& g = group(port);
  if (g.selected >= 0 && g.selected < g.list_size - 1) {
    view_.SetSelection(Id(port, W::PrimaryButtonList), ++g.selected);
  }
  ShowSelectedButton(port);
}

void MappingEditor::ClickModeSelected(PortRole port, int index) {
  ButtonSlot* slot = SelectedButton(port);
  if (slot == nullptr || index < 0) return;
  slot->Mode = static_cast<std::uint8_t>(index);
  LayOutRows(port, index);
  modified_();
}

void MappingEditor::InactiveSelected(PortRole port, int index) {
  ButtonSlot* slot = SelectedButton(port);
  if (slot == nullptr || index < 0) return;
  slot->Inactive = static_cast<std::uint8_t>(index);
  modified_();
}

void MappingEditor::RowSelected(PortRole port, int row, int index) {
  ButtonSlot* slot = SelectedButton(port);
  if (slot == nullptr || index < 0 || row < 1 || row > 3) return;
  FuncOf(*slot, row) = static_cast<std::uint8_t>(index);
  ShowExtraArea(port, row);
  modified_();
}

void MappingEditor::RowEntered(PortRole port, int row) {
  if (SelectedButton(port) != nullptr && row >= 1 && row <= 3) ShowExtraArea(port, row);
}

bool MappingEditor::KeyDown(PortRole port, int virtual_key) {
  if (virtual_key == kTabKey) return false;  // Tab moves the focus on
  Group& g = group(port);
  // Keys held during a capture (Ctrl, Shift, Alt) are captured as keys of their
  // own; only the S, C and A boxes set the modifier bits.
  g.key_code = virtual_key & kKeyCodeMask;
  view_.SetText(Id(port, W::PrimaryKeyField), KeyName(g.key_code & kKeyCodeMask));
  StoreKeyWord(port);
  modified_();
  return true;
}

void MappingEditor::ModifierClicked(PortRole port, KeyModifier modifier, bool checked) {
  Group& g = group(port);
  (modifier == KeyModifier::Shift  ? g.shift
   : modifier == KeyModifier::Ctrl ? g.ctrl
                                   : g.alt) = checked;
  StoreKeyWord(port);
  modified_();
}

void MappingEditor::FileTextChanged(PortRole port, const std::string& text) {
  group(port).file_text = text;
  StoreFileText(port);
  modified_();
}

void MappingEditor::BrowseFileClicked(PortRole port) {
  Group& g = group(port);
  if (auto chosen = dialogs_.Open(StartFileDialogRequest(g.file_text))) {
    g.file_text = '"' + *chosen + '"';
    view_.SetText(Id(port, W::PrimaryFileField), g.file_text);
    modified_();
  }
  StoreFileText(port);
}

ButtonSlot* MappingEditor::SelectedButton(PortRole port) {
  const int selected = group(port).selected;
  if (selected < 0 || selected >= kButtonsPerPort) return nullptr;
  return &settings_.Buttons[IndexOf(port)][selected];
}

void MappingEditor::ShowSelectedButton(PortRole port) {
  const ButtonSlot* slot = SelectedButton(port);
  if (slot == nullptr) return;
  view_.SetSelection(Id(port, W::PrimaryClickModeList),
                     ListPosition(slot->Mode, static_cast<int>(lists::kClickMode.size())));
  for (int row = 1; row <= 3; ++row) {
    view_.SetSelection(Id(port, kRowLists[row - 1]), ListPosition(slot->Func(row), command_count_));
  }
  view_.SetSelection(
      Id(port, W::PrimaryInactiveList),
      ListPosition(slot->Inactive, static_cast<int>(lists::kButtonInactivePrimary.size())));
  view_.SetSelection(Id(port, W::PrimaryExtraPages), static_cast<int>(ExtraPage::No));
  LayOutRows(port, slot->Mode);
}

void MappingEditor::LayOutRows(PortRole port, int click_mode) {
  const auto mode = static_cast<ClickMode>(click_mode);
  const bool turbo = mode == ClickMode::Turbo;
  const bool has_row3 = turbo || mode == ClickMode::ClicksTurbo || mode == ClickMode::ClicksHold;
  const bool down_up = mode == ClickMode::DownUp || turbo;
  view_.SetVisible(Id(port, W::PrimaryRow1Label), !turbo);
  view_.SetVisible(Id(port, W::PrimaryRow1List), !turbo);
  view_.SetVisible(Id(port, W::PrimaryRow2Label), !turbo);
  view_.SetVisible(Id(port, W::PrimaryRow2List), !turbo);
  view_.SetVisible(Id(port, W::PrimaryRow3Label), has_row3);
  view_.SetVisible(Id(port, W::PrimaryRow3List), has_row3);
  view_.SetText(Id(port, kRowLabels[0]), down_up ? "Button down" : "Single click");
  view_.SetText(Id(port, kRowLabels[1]), down_up ? "Button up" : "Double-click");
  view_.SetText(Id(port, kRowLabels[2]), mode == ClickMode::ClicksHold ? "After holding" : "Turbo");
}

void MappingEditor::ShowExtraArea(PortRole port, int row) {
  ButtonSlot& slot = *SelectedButton(port);
  Group& g = group(port);
  const int command = slot.Func(row);
  if (command == kKeyboardButtonCommand) {
    g.area_slot = row;
    const std::uint16_t key_word = slot.Key(row);
    g.key_code = key_word & kKeyCodeMask;
    g.shift = (key_word & kKeyShift) != 0;
    g.ctrl = (key_word & kKeyCtrl) != 0;
    g.alt = (key_word & kKeyAlt) != 0;
    view_.SetText(Id(port, W::PrimaryKeyField), KeyName(g.key_code & kKeyCodeMask));
    view_.SetChecked(Id(port, W::PrimaryShiftCheck), g.shift);
    view_.SetChecked(Id(port, W::PrimaryCtrlCheck), g.ctrl);
    view_.SetChecked(Id(port, W::PrimaryAltCheck), g.alt);
    view_.SetSelection(Id(port, W::PrimaryExtraPages), static_cast<int>(ExtraPage::Key));
  } else if (command == kStartFileCommand) {
    g.area_slot = row;
    g.file_text = slot.Exec(row);
    view_.SetText(Id(port, W::PrimaryFileField), g.file_text);
    view_.SetSelection(Id(port, W::PrimaryExtraPages), static_cast<int>(ExtraPage::File));
  } else {
    view_.SetSelection(Id(port, W::PrimaryExtraPages), static_cast<int>(ExtraPage::No));
  }
}

void MappingEditor::StoreKeyWord(PortRole port) {
  ButtonSlot* slot = SelectedButton(port);
  const Group& g = group(port);
  // Before a "Key" page has been shown there is no event slot to store into.
  if (slot == nullptr || g.area_slot == 0) return;
  KeyOf(*slot, g.area_slot) = static_cast<std::uint16_t>(
      g.key_code | (g.shift ? kKeyShift : 0) | (g.ctrl ? kKeyCtrl : 0) | (g.alt ? kKeyAlt : 0));
}

void MappingEditor::StoreFileText(PortRole port) {
  ButtonSlot* slot = SelectedButton(port);
  const Group& g = group(port);
  if (slot == nullptr || g.area_slot == 0) return;
  ExecOf(*slot, g.area_slot) = g.file_text;
}

}  // namespace pelorin
