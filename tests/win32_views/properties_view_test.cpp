// The Win32 properties window with the real presenters: what the user's
// clicks and keys reach, and what the window shows in return.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/win32/common_dialogs.h"
#include "win32_views/view_rig.h"

namespace pelorin::testing {
namespace {

using C = ComPortsControl;
using F = FrameControl;
using O = OptionsControl;
using W = WinampControl;

int Scaled(int pixels) {
  return MulDiv(pixels, win32::ScreenDpi(), 96);
}

class PropertiesViewTest : public ::testing::Test {
 protected:
  void SetUp() override { rig_.ShowWindow(); }

  // Row 1 of the primary port presses a key; the key field has the focus.
  void FocusPrimaryKeyField() {
    rig_.SelectTab(1);
    rig_.Choose(rig_.Control(W::PrimaryClickModeList), 0);
    rig_.Choose(rig_.Control(W::PrimaryRow1List), 52);
    SetFocus(rig_.Control(W::PrimaryKeyField));
    rig_.Pump();
  }
  const ButtonSlot& PrimarySlot0() const { return rig_.settings.Buttons[0][0]; }
  bool ApplyEnabled() { return IsWindowEnabled(rig_.Control(F::ApplyButton)) != FALSE; }

  ViewRig rig_;
};

TEST_F(PropertiesViewTest, WindowIsTheTForm1DialogWithItsClientSizeAndNoTaskbarOwner) {
  HWND window = rig_.view.Handle();
  char name[32] = {};
  GetClassNameA(window, name, sizeof(name));
  EXPECT_STREQ(name, "TForm1");
  EXPECT_EQ(ViewRig::Text(window), "Pelorin Properties");
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Scaled(361));
  EXPECT_EQ(client.bottom, Scaled(394));
  // Owned by a hidden window: an owned window gets no taskbar button.
  HWND owner = GetWindow(window, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
}

TEST_F(PropertiesViewTest, EscapeInTheKeyFieldIsCapturedAndTheWindowStaysOpen) {
  FocusPrimaryKeyField();
  rig_.PressKey(VK_ESCAPE);
  EXPECT_EQ(PrimarySlot0().Key1, 27);
  EXPECT_EQ(ViewRig::Text(rig_.Control(W::PrimaryKeyField)), "Escape");
  EXPECT_TRUE(IsWindowVisible(rig_.view.Handle()));
}

TEST_F(PropertiesViewTest, EnterInTheKeyFieldIsCapturedNotOk) {
  FocusPrimaryKeyField();
  rig_.PressKey(VK_RETURN);
  EXPECT_EQ(PrimarySlot0().Key1, 13);
  EXPECT_TRUE(IsWindowVisible(rig_.view.Handle()));
  EXPECT_EQ(rig_.host.writes, 0);
}

TEST_F(PropertiesViewTest, HeldModifiersAreCapturedAsKeysOnlyTheBoxesSetBits) {
  FocusPrimaryKeyField();
  rig_.Click(rig_.Control(W::PrimaryCtrlCheck));
  SetFocus(rig_.Control(W::PrimaryKeyField));
  rig_.PressKey(VK_CONTROL);
  EXPECT_EQ(PrimarySlot0().Key1, 529);
  rig_.PressKey(VK_F5);
  EXPECT_EQ(PrimarySlot0().Key1, 628);
}

TEST_F(PropertiesViewTest, TabLeavesTheKeyFieldUncaptured) {
  FocusPrimaryKeyField();
  rig_.PressKey(VK_TAB);
  EXPECT_EQ(PrimarySlot0().Key1, 0);
  EXPECT_NE(GetFocus(), rig_.Control(W::PrimaryKeyField));
}

TEST_F(PropertiesViewTest, EscapeOutsideTheKeyFieldCancelsAndHides) {
  SetFocus(rig_.Control(C::PrimaryModeList));
  rig_.PressKey(VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(rig_.view.Handle()));
}

// The dialog manager asks the window for its default button with the same
// message number as another copy's show request: OK must stay the default,
// and only requests from another thread or process are requests.
TEST_F(PropertiesViewTest, TabThenEnterRunsOkOnceAndOnlyOtherCopiesMakeRequests) {
  rig_.Click(rig_.Control(C::UseSecondaryCheck));  // a pending change, stored by OK
  HWND ok = rig_.Control(F::OkButton);
  SetFocus(rig_.Control(C::PrimaryModeList));
  rig_.PressKey(VK_TAB);
  EXPECT_EQ(SendMessageA(rig_.view.Handle(), DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  if (GetFocus() != ok) {
    EXPECT_TRUE(SendMessageA(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
        << "OK keeps its default frame after Tab";
  }
  EXPECT_TRUE(rig_.requests.empty());
  rig_.PressKey(VK_RETURN);
  EXPECT_EQ(rig_.host.writes, 1) << "OK ran once";
  EXPECT_FALSE(IsWindowVisible(rig_.view.Handle()));
  EXPECT_TRUE(rig_.requests.empty()) << "the dialog manager's messages are not requests";

  // Another copy's show request comes from another thread, and a posted one
  // through the loop: both are taken.
  HWND window = rig_.view.Handle();
  std::atomic<bool> answered{false};
  std::thread other_copy([&] {
    SendMessageA(window, WM_USER, 0, 0);
    answered = true;
  });
  while (!answered) {
    rig_.window.ProcessMessages();
    Sleep(1);
  }
  other_copy.join();
  PostMessageA(window, WM_USER, 2, 0);
  rig_.window.ProcessMessages();
  EXPECT_EQ(rig_.requests, (std::vector<std::uintptr_t>{0, 2}));
}

TEST_F(PropertiesViewTest, ArrowsStepOnMouseDownAlone) {
  rig_.SelectTab(1);
  HWND down = rig_.Control(W::PrimaryNextButton);
  SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  rig_.Pump();
  EXPECT_EQ(rig_.properties.Editor().SelectedSlot(PortRole::Primary), 1);
  EXPECT_EQ(SendMessageA(rig_.Control(W::PrimaryButtonList), CB_GETCURSEL, 0, 0), 1);
  SendMessageA(down, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  rig_.Pump();
  EXPECT_EQ(rig_.properties.Editor().SelectedSlot(PortRole::Primary), 1);
}

TEST_F(PropertiesViewTest, TypedFileTextIsStoredAsTypedShownTextIsNot) {
  rig_.SelectTab(1);
  rig_.Choose(rig_.Control(W::PrimaryClickModeList), 4);
  rig_.Choose(rig_.Control(W::PrimaryRow3List), 53);
  const bool pending_before = rig_.properties.PendingChanges();
  EXPECT_EQ(PrimarySlot0().Exec3, "\"\"");  // showing the text stored nothing new
  EXPECT_TRUE(pending_before);              // the row choice itself is an edit
  SetWindowTextA(rig_.Control(W::PrimaryFileField), "C:\\Tools\\run.exe");
  rig_.Pump();
  EXPECT_EQ(PrimarySlot0().Exec3, "C:\\Tools\\run.exe");
}

// A path in scripts no ANSI code page holds all of: typed, it is stored as
// UTF-8 whole; shown again, the field holds it whole.
TEST_F(PropertiesViewTest, TypedPathInAnyScriptSurvivesBothWays) {
  const std::wstring typed = L"C:\\Pr\u00FCfung\\\u65E5\u672C\\x.exe";
  const std::string stored =
      "C:\\Pr\xC3\xBC"
      "fung\\\xE6\x97\xA5\xE6\x9C\xAC\\x.exe";
  rig_.SelectTab(1);
  rig_.Choose(rig_.Control(W::PrimaryClickModeList), 4);
  rig_.Choose(rig_.Control(W::PrimaryRow3List), 53);
  SetWindowTextW(rig_.Control(W::PrimaryFileField), typed.c_str());
  rig_.Pump();
  EXPECT_EQ(PrimarySlot0().Exec3, stored);
  rig_.Choose(rig_.Control(W::PrimaryRow3List), 1);
  rig_.Choose(rig_.Control(W::PrimaryRow3List), 53);
  wchar_t shown[64] = {};
  GetWindowTextW(rig_.Control(W::PrimaryFileField), shown, 64);
  EXPECT_EQ(std::wstring(shown), typed);
}

TEST_F(PropertiesViewTest, ClearingTheSecondaryPortGreysItsGroupsAndEnablesApply) {
  EXPECT_FALSE(ApplyEnabled());
  rig_.Click(rig_.Control(C::UseSecondaryCheck));
  const bool ticked =
      SendMessageA(rig_.Control(C::UseSecondaryCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
  EXPECT_EQ(IsWindowEnabled(rig_.Control(C::SecondaryGroup)) != FALSE, ticked);
  EXPECT_EQ(IsWindowEnabled(rig_.Control(W::SecondaryGroup)) != FALSE, ticked);
  EXPECT_EQ(IsWindowEnabled(rig_.Control(O::SecondaryLedModeList)) != FALSE, ticked);
  EXPECT_TRUE(ApplyEnabled());
}

TEST_F(PropertiesViewTest, ClicksOnTheIndicatorsLandOnTheShield) {
  for (C indicator : {C::PrimaryDcdIndicator, C::PrimaryButton1Indicator,
                      C::PrimaryCombinationIndicator, C::SecondaryRiIndicator}) {
    HWND hwnd = rig_.Control(indicator);
    RECT r;
    GetWindowRect(hwnd, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_NE(WindowFromPoint(centre), hwnd);
  }
}

TEST_F(PropertiesViewTest, TrackBarMovesUpdateTheReadOutAndMarkChanges) {
  rig_.SelectTab(2);
  HWND bar = rig_.Control(O::DoubleClickSpeedBar);
  SendMessageA(bar, TBM_SETPOS, TRUE, 3);
  SendMessageA(GetParent(bar), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3),
               reinterpret_cast<LPARAM>(bar));
  rig_.Pump();
  EXPECT_EQ(ViewRig::Text(rig_.Control(O::DoubleClickSpeedReadout)), "300ms");
  EXPECT_EQ(rig_.settings.Options.DblClickSpeed, 3);
  EXPECT_TRUE(ApplyEnabled());
}

TEST_F(PropertiesViewTest, OpeningTheOptionsTabPlacesTheTurboTicks) {
  rig_.SelectTab(2);
  // Both ends plus 10, 20, ..., 90.
  EXPECT_EQ(SendMessageA(rig_.Control(O::TurboSpeedBar), TBM_GETNUMTICS, 0, 0), 11);
}

TEST_F(PropertiesViewTest, ModeFifteenFillsTheButtonListAndBackKeepsSlots) {
  rig_.Choose(rig_.Control(C::PrimaryModeList), 3);
  EXPECT_EQ(SendMessageA(rig_.Control(W::PrimaryButtonList), CB_GETCOUNT, 0, 0), 15);
  rig_.settings.Buttons[0][9].Func1 = 7;
  rig_.Choose(rig_.Control(C::PrimaryModeList), 0);
  EXPECT_EQ(SendMessageA(rig_.Control(W::PrimaryButtonList), CB_GETCOUNT, 0, 0), 4);
  rig_.Choose(rig_.Control(C::PrimaryModeList), 3);
  rig_.Choose(rig_.Control(W::PrimaryButtonList), 9);
  EXPECT_EQ(SendMessageA(rig_.Control(W::PrimaryRow1List), CB_GETCURSEL, 0, 0), 7);
}

TEST_F(PropertiesViewTest, RemapDialogShowsBelowCentreAndDisablesTheWindow) {
  rig_.Click(rig_.Control(C::PrimaryRemapButton));
  HWND dialog = rig_.remap_view1.Handle();
  ASSERT_TRUE(IsWindowVisible(dialog));
  char name[16] = {};
  GetClassNameA(dialog, name, sizeof(name));
  EXPECT_STREQ(name, "TForm2");
  EXPECT_EQ(ViewRig::Text(dialog), "Primary COM-port buttons");
  EXPECT_FALSE(IsWindowEnabled(rig_.view.Handle()));
  RECT r, client;
  GetWindowRect(dialog, &r);
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, Scaled(361));
  EXPECT_EQ(client.bottom, Scaled(235));
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2 + 120);
  // Escape on the Manual page cancels.
  SetFocus(rig_.Control(PortRole::Primary, RemapControl::AssignAutomaticallyButton));
  rig_.PressKey(VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsWindowEnabled(rig_.view.Handle()));
}

TEST_F(PropertiesViewTest, RemapRadioClickIsLiveAndEscapeOnTheAutoPageDoesNothing) {
  rig_.Click(rig_.Control(C::SecondaryRemapButton));
  HWND none_for_dsr = rig_.remap_view2.Entry(RemapControl::DsrChoice).parts[0];
  rig_.Click(none_for_dsr);
  EXPECT_EQ(rig_.settings.Secondary.DSR, 0);
  rig_.Click(rig_.Control(PortRole::Secondary, RemapControl::AssignAutomaticallyButton));
  EXPECT_EQ(rig_.remap2.Page(), RemapPage::Auto);
  SetFocus(rig_.Control(PortRole::Secondary, RemapControl::AutoCancelButton));
  rig_.PressKey(VK_ESCAPE);
  EXPECT_TRUE(IsWindowVisible(rig_.remap_view2.Handle()));
  EXPECT_EQ(rig_.remap2.Page(), RemapPage::Auto);
  // The close box on the Auto page goes back to the Manual page.
  SendMessageA(rig_.remap_view2.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(rig_.remap2.Page(), RemapPage::Manual);
  EXPECT_TRUE(IsWindowVisible(rig_.remap_view2.Handle()));
}

TEST_F(PropertiesViewTest, TheFifteenButtonPictureScrollsSideways) {
  rig_.SelectTab(3);
  rig_.Click(rig_.Control(HelpAboutControl::FifteenButtonsPageButton));
  HWND notebook15 = rig_.view.HelpAbout().Entry(HelpAboutControl::WiringPages).pages[1][0];
  EXPECT_TRUE(IsWindowVisible(notebook15));
  HWND box = GetWindow(notebook15, GW_CHILD);
  SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE};
  ASSERT_TRUE(GetScrollInfo(box, SB_HORZ, &info));
  EXPECT_EQ(info.nMax, 1339);
  EXPECT_LT(static_cast<int>(info.nPage), 1340);
  EXPECT_FALSE(GetWindowLongPtrA(box, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(PropertiesViewTest, IndicatorsShowTheLinesAndTheCombinationCode) {
  rig_.properties.ComPorts().ShowLines(PortRole::Primary, LineLevels{true, false, true, false});
  rig_.properties.ComPorts().ShowCombinationCode(PortRole::Primary, 5);
  EXPECT_EQ(SendMessageA(rig_.Control(C::PrimaryDcdIndicator), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(rig_.Control(C::PrimaryDsrIndicator), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(rig_.Control(C::PrimaryCombinationIndicator), BM_GETCHECK, 0, 0),
            BST_CHECKED);
  EXPECT_EQ(ViewRig::Text(rig_.Control(C::PrimaryCombinationIndicator)), "5");
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesViewTest, LinksUnderlineUnderTheMouseAndTheBackgroundClearsThem) {
  rig_.SelectTab(4);
  HWND link = rig_.Control(HelpAboutControl::UpxLink);
  SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(rig_.view.HelpAbout().Entry(HelpAboutControl::UpxLink).underlined);
  SendMessageA(GetParent(link), WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
  EXPECT_FALSE(rig_.view.HelpAbout().Entry(HelpAboutControl::UpxLink).underlined);
  SendMessageA(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
               reinterpret_cast<LPARAM>(link));
  ASSERT_FALSE(rig_.started.empty());
  EXPECT_NE(rig_.started.back().find("upx"), std::string::npos);
}

TEST_F(PropertiesViewTest, EachLinkSitsRightAfterTheTextBeforeIt) {
  rig_.SelectTab(4);
  HWND link = rig_.Control(HelpAboutControl::NullsoftLink);
  RECT r;
  GetWindowRect(link, &r);
  POINT just_before{r.left - 3, (r.top + r.bottom) / 2};
  ScreenToClient(GetParent(link), &just_before);
  HWND left_neighbour = ChildWindowFromPointEx(GetParent(link), just_before, CWP_SKIPINVISIBLE);
  EXPECT_EQ(ViewRig::Text(left_neighbour), "Winamp is a product of ");
}

TEST(DialogFilterTest, BarsBecomeNulsAndTheListEndsWithTwo) {
  EXPECT_EQ(win32::DialogFilter("All files (*.*)|*.*"),
            std::wstring(L"All files (*.*)\0*.*\0\0", 21));
  EXPECT_EQ(win32::DialogFilter(""), L"");
}

}  // namespace
}  // namespace pelorin::testing
