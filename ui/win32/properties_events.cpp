// The user's events on the properties window, passed to the presenters.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/win32/control_ids.h"
#include "ui/win32/properties_view.h"

namespace pelorin::win32 {
namespace {

using C = ComPortsControl;
using W = WinampControl;
using O = OptionsControl;
using H = HelpAboutControl;

int ListSelection(HWND combo) {
  return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

bool Ticked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string TextOf(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

template <typename Control>
bool InForm(int id, int base, Control last, Control& control) {
  if (id < base || id > base + static_cast<int>(last)) return false;
  control = static_cast<Control>(id - base);
  return true;
}

}  // namespace

bool PropertiesView::OnCommand(WORD id, WORD code, HWND control) {
  if (!window_ || !help_about_) return false;
  switch (id) {
    case IDOK:
      window_->Button1Click();
      return true;
    case IDCANCEL:
      window_->Button2Click();
      return true;
    case kApplyId:
      window_->Button3Click();
      return true;
    default:
      break;
  }
  const int n = static_cast<short>(id);
  ComPortsControl com;
  WinampControl winamp;
  OptionsControl option;
  HelpAboutControl help;
  if (InForm(n, kComPortsIdBase, C::CheckBoxPort2, com)) {
    OnComPortsCommand(com, code, control);
  } else if (InForm(n, kWinampIdBase, W::Button2Ext, winamp)) {
    OnWinampCommand(winamp, code, control);
  } else if (InForm(n, kOptionsIdBase, O::ComboBoxOpInet, option)) {
    OnOptionsCommand(option, code, control);
  } else if (n == kPictureFourId || n == kPictureFifteenId) {
    help_about_->Image2Click();
  } else if (InForm(n, kHelpAboutIdBase, H::LinkMail, help)) {
    OnHelpAboutCommand(help, code);
  } else {
    return false;
  }
  return true;
}

void PropertiesView::OnComPortsCommand(ComPortsControl control, WORD code, HWND hwnd) {
  if (control == C::CheckBoxPort2) {
    if (code == BN_CLICKED) window_->CheckBoxPort2Click(Ticked(hwnd));
    return;
  }
  const PortRole port = static_cast<int>(control) >= static_cast<int>(C::GroupBox2)
                            ? PortRole::Secondary
                            : PortRole::Primary;
  const C primary = static_cast<C>(static_cast<int>(control) -
                                   static_cast<int>(IndexOf(port)) * kComPortsGroupSize);
  ComPortsTab& tab = window_->ComPorts();
  if (primary == C::ComboBox1 && code == CBN_SELCHANGE) {
    tab.PortSelected(port, ListSelection(hwnd));
  } else if (primary == C::ComboBox1PortMode && code == CBN_SELCHANGE) {
    tab.PortModeSelected(port, ListSelection(hwnd));
  } else if (primary == C::Button1Remap && code == BN_CLICKED) {
    if (port == PortRole::Primary) {
      window_->Button1RemapClick();
    } else {
      window_->Button2RemapClick();
    }
  }
}

void PropertiesView::OnWinampCommand(WinampControl control, WORD code, HWND hwnd) {
  const PortRole port = static_cast<int>(control) >= static_cast<int>(W::GroupBox2Port)
                            ? PortRole::Secondary
                            : PortRole::Primary;
  const W primary = static_cast<W>(static_cast<int>(control) -
                                   static_cast<int>(IndexOf(port)) * kWinampGroupSize);
  MappingEditor& editor = window_->Editor();
  const int row = primary == W::ComboBox1E1   ? 1
                  : primary == W::ComboBox1E2 ? 2
                  : primary == W::ComboBox1E3 ? 3
                                              : 0;
  if (row != 0) {
    if (code == CBN_SELCHANGE) editor.RowSelected(port, row, ListSelection(hwnd));
    if (code == CBN_SETFOCUS) editor.RowEntered(port, row);
    return;
  }
  switch (primary) {
    case W::ComboBox1Btn:
      if (code == CBN_SELCHANGE) editor.ButtonSelected(port, ListSelection(hwnd));
      break;
    case W::ComboBox1Mode:
      if (code == CBN_SELCHANGE) editor.ClickModeSelected(port, ListSelection(hwnd));
      break;
    case W::ComboBox1Inact:
      if (code == CBN_SELCHANGE) editor.InactiveSelected(port, ListSelection(hwnd));
      break;
    case W::CheckBox1Shift:
    case W::CheckBox1Ctrl:
    case W::CheckBox1Alt:
      if (code == BN_CLICKED) {
        const KeyModifier modifier = primary == W::CheckBox1Shift  ? KeyModifier::Shift
                                     : primary == W::CheckBox1Ctrl ? KeyModifier::Ctrl
                                                                   : KeyModifier::Alt;
        editor.ModifierClicked(port, modifier, Ticked(hwnd));
      }
      break;
    case W::Edit1Ext:
      // A text the presenter showed is not the user's edit.
      if (code == EN_CHANGE && !style_.Updating()) editor.FileTextChanged(port, TextOf(hwnd));
      break;
    case W::Button1Ext:
      if (code == BN_CLICKED) editor.BrowseFileClicked(port);
      break;
    default:
      break;
  }
}

void PropertiesView::OnOptionsCommand(OptionsControl control, WORD code, HWND hwnd) {
  OptionsTab& tab = window_->Options();
  switch (control) {
    case O::ComboBoxOpInact:
    case O::ComboBoxOpTray:
    case O::ComboBoxOpInet:
    case O::ComboBox1LED:
    case O::ComboBox1LEDwhen:
    case O::ComboBox2LED:
    case O::ComboBox2LEDwhen:
      if (code == CBN_SELCHANGE) tab.ListSelected(control, ListSelection(hwnd));
      break;
    case O::CheckBoxStartUp:
    case O::CheckBoxAutoWinamp:
    case O::CheckBoxWarn:
      if (code == BN_CLICKED) tab.CheckBoxClicked(control, Ticked(hwnd));
      break;
    case O::ButtonCfg:
      if (code == BN_CLICKED) window_->ButtonCfgClick();
      break;
    default:
      break;
  }
}

void PropertiesView::OnHelpAboutCommand(HelpAboutControl control, WORD code) {
  if (code != BN_CLICKED) return;  // also STN_CLICKED: both are 0
  switch (control) {
    case H::Btn4:
      help_about_->Btn4Click();
      break;
    case H::Btn15:
      help_about_->Btn15Click();
      break;
    case H::SpeedButtonSave4:
      help_about_->SpeedButtonSave4Click();
      break;
    case H::SpeedButtonSave15:
      help_about_->SpeedButtonSave15Click();
      break;
    case H::LinkNullsoft:
      help_about_->LinkNullsoftClick();
      break;
    case H::LinkUPX:
      help_about_->LinkUPXClick();
      break;
    case H::LinkSite:
      help_about_->LinkSiteClick();
      break;
    case H::LinkMail:
      help_about_->LinkMailClick();
      break;
    default:
      break;
  }
}

void PropertiesView::OnTrackBar(HWND track_bar) {
  OptionsControl control;
  if (!window_ || !Options().Find(track_bar, control)) return;
  ControlEntry& entry = Options().Entry(control);
  const int position = static_cast<int>(SendMessageA(track_bar, TBM_GETPOS, 0, 0));
  // A track bar reports every step of a drag and its end; only a new
  // position is a change.
  if (position == entry.selection) return;
  entry.selection = position;
  if (control == O::TrackBar1) window_->Options().TrackBar1Change(position);
  if (control == O::TrackBar2) window_->Options().TrackBar2Change(position);
}

void PropertiesView::KeyFieldKeyDown(PortRole port, int virtual_key, bool& used) {
  used = window_ != nullptr && window_->Editor().KeyDown(port, virtual_key);
}

void PropertiesView::ArrowMouseDown(PortRole port, bool next) {
  if (!window_) return;
  if (next) {
    window_->Editor().NextButtonMouseDown(port);
  } else {
    window_->Editor().PreviousButtonMouseDown(port);
  }
}

void PropertiesView::LinkMouseMove(HelpAboutControl link) {
  if (help_about_) help_about_->MouseOverLink(link);
}

}  // namespace pelorin::win32
