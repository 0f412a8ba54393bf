// The controls of the properties window's five tab pages, at their positions
// in pixels at 96 dpi (the builder scales them to the screen's DPI).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/control_hooks.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/properties_view.h"
#include "ui/win32/window_text.h"

namespace pelorin::win32 {
namespace {

using C = ComPortsControl;
using W = WinampControl;
using O = OptionsControl;
using H = HelpAboutControl;

template <typename Table, typename Control>
HWND Put(Table& table, Control control, HWND hwnd, ControlKind kind) {
  ControlEntry& entry = table.Entry(control);
  entry.hwnd = hwnd;
  entry.kind = kind;
  return hwnd;
}

int ComId(PortRole port, C primary) {
  return IdOf(kComPortsIdBase, ComPortsControlOf(port, primary));
}
int WinId(PortRole port, W primary) {
  return IdOf(kWinampIdBase, WinampControlOf(port, primary));
}
int OptId(O control) {
  return IdOf(kOptionsIdBase, control);
}
int HelpId(H control) {
  return IdOf(kHelpAboutIdBase, control);
}

}  // namespace

void PropertiesView::BuildComPortsPage(ControlBuilder& b, HWND page) {
  BuildComPortsGroup(b, page, PortRole::Primary, 4);
  Put(ComPorts(), C::UseSecondaryCheck,
      b.CheckBox(page, IdOf(kComPortsIdBase, C::UseSecondaryCheck), 16, 148, 220),
      ControlKind::Check);
  BuildComPortsGroup(b, page, PortRole::Secondary, 170);
}

void PropertiesView::BuildComPortsGroup(ControlBuilder& b, HWND page, PortRole port, int top) {
  ComPortsTable& t = ComPorts();
  auto id = [&](C primary) { return ComPortsControlOf(port, primary); };
  HWND g =
      b.Group(page, t.Entry(id(C::PrimaryGroup)), ComId(port, C::PrimaryGroup), 8, top, 326, 140);
  Put(t, id(C::PrimaryPortLabel), b.Label(g, kStaticId, 10, 23, 64), ControlKind::Label);
  Put(t, id(C::PrimaryPortList), b.Combo(g, ComId(port, C::PrimaryPortList), 76, 19, 80, 16),
      ControlKind::Combo);
  Put(t, id(C::PrimaryRemapButton),
      b.Button(g, ComId(port, C::PrimaryRemapButton), 180, 18, 136, 24), ControlKind::Button);
  Put(t, id(C::PrimaryModeLabel), b.Label(g, kStaticId, 10, 51, 64), ControlKind::Label);
  Put(t, id(C::PrimaryModeList), b.Combo(g, ComId(port, C::PrimaryModeList), 76, 47, 240, 4),
      ControlKind::Combo);
  Put(t, id(C::PrimaryIndicatorsLabel), b.Label(g, kStaticId, 10, 74, 306, 15, SS_CENTER),
      ControlKind::Label);
  t.Entry(id(C::PrimaryIndicatorsLabel)).underlined = true;
  SetEntryFont(style_, t.Entry(id(C::PrimaryIndicatorsLabel)));
  Put(t, id(C::PrimaryLinesLabel), b.Label(g, kStaticId, 10, 94, 100), ControlKind::Label);
  const C lines[4] = {C::PrimaryDcdIndicator, C::PrimaryDsrIndicator, C::PrimaryCtsIndicator,
                      C::PrimaryRiIndicator};
  for (int k = 0; k < 4; ++k) {
    Put(t, id(lines[k]), b.Indicator(g, ComId(port, lines[k]), 112 + k * 50, 90, 48, 22),
        ControlKind::Check);
  }
  Put(t, id(C::PrimaryButtonsLabel), b.Label(g, kStaticId, 10, 118, 100), ControlKind::Label);
  Put(t, id(C::PrimaryFourButtonsLabel), b.Label(g, kStaticId, 112, 118, 14), ControlKind::Label);
  for (int k = 0; k < 4; ++k) {
    const C button = static_cast<C>(static_cast<int>(C::PrimaryButton1Indicator) + k);
    Put(t, id(button), b.Indicator(g, ComId(port, button), 128 + k * 30, 114, 28, 22),
        ControlKind::Check);
  }
  Put(t, id(C::PrimaryCombinationLabel), b.Label(g, kStaticId, 254, 118, 18), ControlKind::Label);
  Put(t, id(C::PrimaryCombinationIndicator),
      b.Indicator(g, ComId(port, C::PrimaryCombinationIndicator), 274, 114, 36, 22),
      ControlKind::Check);
  // Over all the indicators: a click on them changes nothing.
  b.ClickShield(g, 110, 88, 204, 50);
}

void PropertiesView::BuildWinampPage(ControlBuilder& b, HWND page) {
  BuildWinampGroup(b, page, PortRole::Primary, 0);
  BuildWinampGroup(b, page, PortRole::Secondary, 160);
}

void PropertiesView::BuildWinampGroup(ControlBuilder& b, HWND page, PortRole port, int top) {
  WinampTable& t = Winamp();
  auto id = [&](W primary) { return WinampControlOf(port, primary); };
  HWND g =
      b.Group(page, t.Entry(id(W::PrimaryGroup)), WinId(port, W::PrimaryGroup), 8, top, 326, 153);
  Put(t, id(W::PrimaryButtonLabel), b.Label(g, kStaticId, 8, 24, 38), ControlKind::Label);
  Put(t, id(W::PrimaryButtonList), b.Combo(g, WinId(port, W::PrimaryButtonList), 48, 21, 270, 15),
      ControlKind::Combo);
  // The arrows draw themselves (an up and a down triangle): a symbol font
  // for them is not found on every system.
  HWND prev = Put(t, id(W::PrimaryPreviousButton),
                  b.Button(g, WinId(port, W::PrimaryPreviousButton), 40, 48, 23, 22, BS_OWNERDRAW),
                  ControlKind::Button);
  HWND next = Put(t, id(W::PrimaryNextButton),
                  b.Button(g, WinId(port, W::PrimaryNextButton), 72, 48, 23, 22, BS_OWNERDRAW),
                  ControlKind::Button);
  HookArrowButton(prev, *this, port, false);
  HookArrowButton(next, *this, port, true);
  Put(t, id(W::PrimaryClickModeLabel), b.Label(g, kStaticId, 8, 66, 60), ControlKind::Label);
  Put(t, id(W::PrimaryClickModeList),
      b.Combo(g, WinId(port, W::PrimaryClickModeList), 8, 82, 89, 5), ControlKind::Combo);
  Put(t, id(W::PrimaryInactiveList),
      b.Combo(g, WinId(port, W::PrimaryInactiveList), 8, 122, 153, 6), ControlKind::Combo);
  const W labels[3] = {W::PrimaryRow1Label, W::PrimaryRow2Label, W::PrimaryRow3Label};
  const W rows[3] = {W::PrimaryRow1List, W::PrimaryRow2List, W::PrimaryRow3List};
  for (int k = 0; k < 3; ++k) {
    // Right-aligned, ending at 164.
    Put(t, id(labels[k]), b.Label(g, kStaticId, 64, 55 + 23 * k, 100, 15, SS_RIGHT),
        ControlKind::Label);
    t.Entry(id(labels[k])).autosize = true;
    Put(t, id(rows[k]), b.Combo(g, WinId(port, rows[k]), 168, 52 + 23 * k, 150, 20),
        ControlKind::Combo);
  }
  // Below the row labels: where the row-3 label meets this one, the row
  // label stays readable.
  // After the row labels: "After holding" reaches into this label's line,
  // and AvoidRowLabelOverlap keeps it readable.
  Put(t, id(W::PrimaryInactiveLabel), b.Label(g, kStaticId, 8, 106, 153, 15, SS_LEFTNOWORDWRAP),
      ControlKind::Label);
  t.Entry(id(W::PrimaryInactiveLabel)).autosize = true;
  // The extra-settings area: one panel per page "No", "Key", "File".
  ControlEntry& area = t.Entry(id(W::PrimaryExtraPages));
  area.kind = ControlKind::Notebook;
  HWND no_page = b.Panel(g, 168, 122, 150, 23);
  HWND key_page = b.Panel(g, 168, 122, 150, 23);
  HWND file_page = b.Panel(g, 168, 122, 150, 23);
  area.hwnd = no_page;
  area.pages = {{no_page}, {key_page}, {file_page}};
  HWND key = Put(t, id(W::PrimaryKeyField),
                 b.Edit(key_page, WinId(port, W::PrimaryKeyField), 0, 0, 65, 23, ES_READONLY),
                 ControlKind::Edit);
  HookKeyField(key, *this, port);
  const W modifiers[3] = {W::PrimaryShiftCheck, W::PrimaryCtrlCheck, W::PrimaryAltCheck};
  for (int k = 0; k < 3; ++k) {
    Put(t, id(modifiers[k]), b.CheckBox(key_page, WinId(port, modifiers[k]), 72 + 26 * k, 3, 26),
        ControlKind::Check);
  }
  Put(t, id(W::PrimaryFileField),
      b.Edit(file_page, WinId(port, W::PrimaryFileField), 0, 0, 121, 23), ControlKind::Edit);
  Put(t, id(W::PrimaryBrowseFileButton),
      b.Button(file_page, WinId(port, W::PrimaryBrowseFileButton), 125, 0, 23, 23),
      ControlKind::Button);
  ShowWindow(key_page, SW_HIDE);
  ShowWindow(file_page, SW_HIDE);
}

void PropertiesView::BuildOptionsPage(ControlBuilder& b, HWND p) {
  OptionsTable& t = Options();
  auto label = [&](O c, int x, int y, int w, int h = 15, DWORD align = SS_LEFT) {
    Put(t, c, b.Label(p, kStaticId, x, y, w, h, align), ControlKind::Label);
  };
  auto combo = [&](O c, int x, int y, int w) {
    Put(t, c, b.Combo(p, OptId(c), x, y, w, 8), ControlKind::Combo);
  };
  auto check = [&](O c, int x, int y, int w) {
    Put(t, c, b.CheckBox(p, OptId(c), x, y, w), ControlKind::Check);
  };
  label(O::InactiveLabel, 8, 6, 330);
  combo(O::InactiveList, 8, 22, 200);
  label(O::TrayClickLabel, 8, 50, 200);
  combo(O::TrayClickList, 8, 66, 200);
  check(O::StartWithWindowsCheck, 8, 96, 200);
  check(O::StartPlayerCheck, 8, 115, 200);
  check(O::WarnPlayerMissingCheck, 8, 134, 200);
  label(O::DoubleClickTestLabel, 222, 92, 116, 30, SS_CENTER);
  Put(t, O::DoubleClickTestPicture,
      b.Control(p, "STATIC", SS_OWNERDRAW | SS_NOTIFY, 0, OptId(O::DoubleClickTestPicture), 264,
                124, 32, 32),
      ControlKind::Picture);
  label(O::DoubleClickSpeedLabel, 8, 160, 150);
  Put(t, O::DoubleClickSpeedBar, b.TrackBar(p, OptId(O::DoubleClickSpeedBar), 4, 175, 160, 28),
      ControlKind::TrackBar);
  label(O::DoubleClickSpeedMinLabel, 8, 206, 40);
  label(O::DoubleClickSpeedReadout, 56, 206, 60, 15, SS_CENTER);
  label(O::DoubleClickSpeedMaxLabel, 126, 206, 34, 15, SS_RIGHT);
  label(O::TurboSpeedLabel, 176, 160, 165);
  Put(t, O::TurboSpeedBar, b.TrackBar(p, OptId(O::TurboSpeedBar), 172, 175, 166, 28),
      ControlKind::TrackBar);
  label(O::TurboSpeedMinLabel, 180, 206, 20);
  label(O::TurboSpeedReadout, 226, 206, 60, 15, SS_CENTER);
  label(O::TurboSpeedMaxLabel, 300, 206, 34, 15, SS_RIGHT);
  Put(t, O::LedGroup, b.GroupFrame(p, 8, 224, 330, 70), ControlKind::Label);
  label(O::PrimaryLedLabel, 16, 246, 56);
  combo(O::PrimaryLedModeList, 74, 242, 100);
  label(O::PrimaryLedWhenLabel, 180, 246, 28);
  combo(O::PrimaryLedConditionList, 210, 242, 120);
  label(O::SecondaryLedLabel, 16, 270, 56);
  combo(O::SecondaryLedModeList, 74, 266, 100);
  label(O::SecondaryLedWhenLabel, 180, 270, 28);
  combo(O::SecondaryLedConditionList, 210, 266, 120);
  label(O::ConfigFileLabel, 8, 304, 40);
  Put(t, O::ConfigFileField, b.Edit(p, OptId(O::ConfigFileField), 50, 300, 210, 21, ES_READONLY),
      ControlKind::Edit);
  Put(t, O::BrowseConfigButton, b.Button(p, OptId(O::BrowseConfigButton), 266, 299, 72, 23),
      ControlKind::Button);
  // Never visible; kept so the stored value round-trips.
  label(O::InternetLabel, 8, 0, 10);
  combo(O::InternetList, 8, 0, 10);
}

void PropertiesView::BuildHelpPage(ControlBuilder& b, HWND page, int width, int height) {
  HelpAboutTable& t = HelpAbout();
  const DWORD toggle = BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_MULTILINE | WS_TABSTOP;
  Put(t, H::FourButtonsPageButton,
      b.Control(page, "BUTTON", toggle | WS_GROUP, 0, HelpId(H::FourButtonsPageButton), 2, 2, 40,
                140),
      ControlKind::Check);
  Put(t, H::FifteenButtonsPageButton,
      b.Control(page, "BUTTON", toggle, 0, HelpId(H::FifteenButtonsPageButton), 2, 146, 40, 140),
      ControlKind::Check);
  // Each picture page's "Save..." sits under the toggles and shows with its page.
  const int save_top = height - 26;
  HWND save4 = Put(t, H::SaveFourButtonsButton,
                   b.Button(page, HelpId(H::SaveFourButtonsButton), 2, save_top, 40, 24, BS_FLAT),
                   ControlKind::Button);
  HWND save15 =
      Put(t, H::SaveFifteenButtonsButton,
          b.Button(page, HelpId(H::SaveFifteenButtonsButton), 2, save_top, 40, 24, BS_FLAT),
          ControlKind::Button);
  const int left = 46;
  const int area_width = width - left - 2;
  ControlEntry& notebook = t.Entry(H::WiringPages);
  notebook.kind = ControlKind::Notebook;
  HWND four = b.Panel(page, left, 2, area_width, height - 4);
  HWND fifteen = b.Panel(page, left, 2, area_width, height - 4);
  notebook.hwnd = four;
  notebook.pages = {{four, save4}, {fifteen, save15}};
  picture_four_ = b.PictureBox(four, kPictureFourId, 0, 0, std::min(area_width, 304), 298, false);
  // The wide picture scrolls sideways only: its box is as tall as the
  // picture plus the scroll bar.
  const int scroll_height =
      std::min(height - 4, 300 + 4 + GetSystemMetrics(SM_CYHSCROLL) * 96 / dpi_);
  picture_fifteen_ =
      b.PictureBox(fifteen, kPictureFifteenId, 0, 0, area_width, scroll_height, true);
  ShowWindow(fifteen, SW_HIDE);
  ShowWindow(save15, SW_HIDE);
}

void PropertiesView::BuildAboutPage(ControlBuilder& b, HWND page) {
  HelpAboutTable& t = HelpAbout();
  about_page_ = page;
  HWND panel =
      b.Control(page, "STATIC", SS_OWNERDRAW, WS_EX_STATICEDGE, kAboutIconId, 12, 12, 96, 96);
  about_icon_ = panel;
  Put(t, H::TitleLabel, b.Label(page, kStaticId, 124, 30, 200, 18), ControlKind::Label);
  Put(t, H::VersionLabel, b.Label(page, kStaticId, 124, 54, 200), ControlKind::Label);
  const char* before[4] = {"Winamp is a product of ", "The program file is packed with ",
                           "Updates and news: click ", "Mail: "};
  const char* after[4] = {".", ".", ".", ""};
  const H links[4] = {H::NullsoftLink, H::UpxLink, H::SiteLink, H::MailLink};
  for (int k = 0; k < 4; ++k) {
    const int top = 128 + 22 * k;
    LinkLine& line = link_lines_[k];
    line.link = links[k];
    line.before = b.Label(page, kStaticId, 12, top, 320);
    SetWindowTextUtf8(line.before, before[k]);
    HWND link = Put(
        t, links[k],
        b.Control(page, "STATIC", SS_NOTIFY | SS_NOPREFIX, 0, HelpId(links[k]), 12, top, 60, 15),
        ControlKind::Label);
    HookLink(link, *this, links[k]);
    line.after = b.Label(page, kStaticId, 12, top, 20);
    SetWindowTextUtf8(line.after, after[k]);
  }
  Put(t, H::DisclaimerLabel, b.Label(page, kStaticId, 12, 230, 320, 60), ControlKind::Label);
}

}  // namespace pelorin::win32
