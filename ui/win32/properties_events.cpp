// The user's events on the properties window, passed to the presenters.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/win32/control_ids.h"
#include "ui/win32/properties_view.h"
#include "ui/win32/window_text.h"

namespace pelorin::win32 {
namespace {

using C = ComPortsControl;
using W = WinampControl;
using O = OptionsControl;
using H = HelpAboutControl;

int ListSelection(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

bool Ticked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
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
      window_->OkClicked();
      return true;
    case IDCANCEL:
      window_->CancelClicked();
      return true;
    case kApplyId:
      window_->ApplyClicked();
      return true;
    default:
      break;
  }
  const int n = static_cast<short>(id);
  ComPortsControl com;
  WinampControl winamp;
  OptionsControl option;
  HelpAboutControl help;
  if (InForm(n, kComPortsIdBase, C::UseSecondaryCheck, com)) {
    OnComPortsCommand(com, code, control);
  } else if (InForm(n, kWinampIdBase, W::SecondaryBrowseFileButton, winamp)) {
    OnWinampCommand(winamp, code, control);
  } else if (InForm(n, kOptionsIdBase, O::InternetList, option)) {
    OnOptionsCommand(option, code, control);
  } else if (n == kPictureFourId || n == kPictureFifteenId) {
    help_about_->WiringPictureClicked();
  } else if (InForm(n, kHelpAboutIdBase, H::MailLink, help)) {
    OnHelpAboutCommand(help, code);
  } else {
    return false;
  }
  return true;
}

void PropertiesView::OnComPortsCommand(ComPortsControl control, WORD code, HWND hwnd) {
  if (control == C::UseSecondaryCheck) {
    if (code == BN_CLICKED) window_->UseSecondaryClicked(Ticked(hwnd));
    return;
  }
  const PortRole port = static_cast<int>(control) >= static_cast<int>(C::SecondaryGroup)
                            ? PortRole::Secondary
                            : PortRole::Primary;
  const C primary = static_cast<C>(static_cast<int>(control) -
                                   static_cast<int>(IndexOf(port)) * kComPortsGroupSize);
  ComPortsTab& tab = window_->ComPorts();
  if (primary == C::PrimaryPortList && code == CBN_SELCHANGE) {
    tab.PortSelected(port, ListSelection(hwnd));
  } else if (primary == C::PrimaryModeList && code == CBN_SELCHANGE) {
    tab.PortModeSelected(port, ListSelection(hwnd));
  } else if (primary == C::PrimaryRemapButton && code == BN_CLICKED) {
    if (port == PortRole::Primary) {
      window_->PrimaryRemapClicked();
    } else {
      window_->SecondaryRemapClicked();
    }
  }
}

void PropertiesView::OnWinampCommand(WinampControl control, WORD code, HWND hwnd) {
  const PortRole port = static_cast<int>(control) >= static_cast<int>(W::SecondaryGroup)
                            ? PortRole::Secondary
                            : PortRole::Primary;
  const W primary = static_cast<W>(static_cast<int>(control) -
                                   static_cast<int>(IndexOf(port)) * kWinampGroupSize);
  MappingEditor& editor = window_->Editor();
  const int row = primary == W::PrimaryRow1List   ? 1
                  : primary == W::PrimaryRow2List ? 2
                  : primary == W::PrimaryRow3List ? 3
                                                  : 0;
  if (row != 0) {
    if (code == CBN_SELCHANGE) editor.RowSelected(port, row, ListSelection(hwnd));
    if (code == CBN_SETFOCUS) editor.RowEntered(port, row);
    return;
  }
  switch (primary) {
    case W::PrimaryButtonList:
      if (code == CBN_SELCHANGE) editor.ButtonSelected(port, ListSelection(hwnd));
      break;
    case W::PrimaryClickModeList:
      if (code == CBN_SELCHANGE) editor.ClickModeSelected(port, ListSelection(hwnd));
      break;
    case W::PrimaryInactiveList:
      if (code == CBN_SELCHANGE) editor.InactiveSelected(port, ListSelection(hwnd));
      break;
    case W::PrimaryShiftCheck:
    case W::PrimaryCtrlCheck:
    case W::PrimaryAltCheck:
      if (code == BN_CLICKED) {
        const KeyModifier modifier = primary == W::PrimaryShiftCheck  ? KeyModifier::Shift
                                     : primary == W::PrimaryCtrlCheck ? KeyModifier::Ctrl
                                                                      : KeyModifier::Alt;
        editor.ModifierClicked(port, modifier, Ticked(hwnd));
      }
      break;
    case W::PrimaryFileField:
      // A text the presenter showed is not the user's edit.
      if (code == EN_CHANGE && !style_.Updating()) editor.FileTextChanged(port, WindowText(hwnd));
      break;
    case W::PrimaryBrowseFileButton:
      if (code == BN_CLICKED) editor.BrowseFileClicked(port);
      break;
    default:
      break;
  }
}

void PropertiesView::OnOptionsCommand(OptionsControl control, WORD code, HWND hwnd) {
  OptionsTab& tab = window_->Options();
  switch (control) {
    case O::InactiveList:
    case O::TrayClickList:
    case O::InternetList:
    case O::PrimaryLedModeList:
    case O::PrimaryLedConditionList:
    case O::SecondaryLedModeList:
    case O::SecondaryLedConditionList:
      if (code == CBN_SELCHANGE) tab.ListSelected(control, ListSelection(hwnd));
      break;
    case O::StartWithWindowsCheck:
    case O::StartPlayerCheck:
    case O::WarnPlayerMissingCheck:
      if (code == BN_CLICKED) tab.CheckBoxClicked(control, Ticked(hwnd));
      break;
    case O::BrowseConfigButton:
      if (code == BN_CLICKED) window_->BrowseConfigClicked();
      break;
    default:
      break;
  }
}

void PropertiesView::OnHelpAboutCommand(HelpAboutControl control, WORD code) {
  if (code != BN_CLICKED) return;  // also STN_CLICKED: both are 0
  switch (control) {
    case H::FourButtonsPageButton:
      help_about_->FourButtonsPageClicked();
      break;
    case H::FifteenButtonsPageButton:
      help_about_->FifteenButtonsPageClicked();
      break;
    case H::SaveFourButtonsButton:
      help_about_->SaveFourButtonsClicked();
      break;
    case H::SaveFifteenButtonsButton:
      help_about_->SaveFifteenButtonsClicked();
      break;
    case H::NullsoftLink:
      help_about_->NullsoftLinkClicked();
      break;
    case H::UpxLink:
      help_about_->UpxLinkClicked();
      break;
    case H::SiteLink:
      help_about_->SiteLinkClicked();
      break;
    case H::MailLink:
      help_about_->MailLinkClicked();
      break;
    default:
      break;
  }
}

void PropertiesView::OnTrackBar(HWND track_bar) {
  OptionsControl control;
  if (!window_ || !Options().Find(track_bar, control)) return;
  ControlEntry& entry = Options().Entry(control);
  const int position = static_cast<int>(SendMessageW(track_bar, TBM_GETPOS, 0, 0));
  // A track bar reports every step of a drag and its end; only a new
  // position is a change.
  if (position == entry.selection) return;
  entry.selection = position;
  if (control == O::DoubleClickSpeedBar) window_->Options().DoubleClickSpeedMoved(position);
  if (control == O::TurboSpeedBar) window_->Options().TurboSpeedMoved(position);
}

void PropertiesView::KeyFieldKeyDown(PortRole port, int virtual_key, bool& used) {
  used = window_ != nullptr && window_->Editor().KeyDown(port, virtual_key);
}

void PropertiesView::ArrowPressed(PortRole port, bool next) {
  if (!window_) return;
  if (next) {
    window_->Editor().NextButtonPressed(port);
  } else {
    window_->Editor().PreviousButtonPressed(port);
  }
}

void PropertiesView::LinkMouseMove(HelpAboutControl link) {
  if (help_about_) help_about_->MouseOverLink(link);
}

}  // namespace pelorin::win32
