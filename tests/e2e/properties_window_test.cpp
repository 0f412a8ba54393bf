// The properties window of the unchanged pelorin.exe, driven from this
// process as a user would: ports and modes, Apply, Cancel and Escape, and the
// mapping editor's key capture and file field.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin_state.h"
#include "support/controls.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"
#include "ui/com_ports_tab.h"
#include "ui/mapping_editor.h"
#include "ui/properties_window.h"
#include "ui/win32/control_ids.h"

namespace pelorin::e2e {
namespace {

using C = ComPortsControl;
using W = WinampControl;
using win32::IdOf;

constexpr WPARAM kShowRequest = 0;

class PropertiesWindowTest : public ::testing::Test {
 protected:
  // Starts the configured program (COM5 in "4 buttons") and opens the window.
  // `options` go into the configuration's [Options] section.
  void Open(const std::string& name, const std::string& options = {}) {
    scenario_ = std::make_unique<Scenario>(name);
    program_ = scenario_->StartConfigured(options);
    window_ = FindPropertiesWindow();
    ASSERT_NE(window_, nullptr);
    // The window exists before the start-up has loaded the settings into it;
    // the start-up raises DTR on COM5 after loading them.
    auto com5 = pelorin::testing::StandinLines::ForPort(5);
    ASSERT_TRUE(com5.has_value()) << "run under the serial stand-in (port 5)";
    ASSERT_TRUE(WaitUntil([&] {
      auto state = com5->Read();
      return state && (*state & STANDIN_DTR) != 0;
    }));
    Settle(window_);
    SendRequest(kShowRequest);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window_) != FALSE; }));
  }
  // The next scenario's copy needs COM5: this one must be gone, not dying.
  void TearDown() override {
    Scenario::EndRunningCopy();
    if (program_ && !program_->WaitForExit(10000)) program_->Kill();
    if (program_) program_->WaitForExit(5000);
  }
  HWND Com(C control) { return FindControl(window_, IdOf(win32::kComPortsIdBase, control)); }
  HWND Winamp(W control) { return FindControl(window_, IdOf(win32::kWinampIdBase, control)); }
  HWND Apply() { return FindControl(window_, win32::kApplyId); }
  bool ApplyEnabled() { return IsWindowEnabled(Apply()) != FALSE; }
  bool Visible() { return IsWindowVisible(window_) != FALSE; }

  void ShowWinampTab() {
    HWND tabs = FindControl(window_, IdOf(win32::kFrameIdBase, FrameControl::Tabs));
    // The first request may only move the tab control's focus mark; the
    // second then selects (and is ignored when the first already did).
    SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
    SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
  }
  // Apply that succeeds (COM5 is the session's stand-in terminal).
  void ApplyAndWait() {
    ClickWithoutWaiting(Apply());
    ASSERT_TRUE(WaitUntil([&] { return !ApplyEnabled(); }));
    Settle(window_);  // Apply disables itself before it writes the file
  }
  std::string Stored(const char* section, const char* key) {
    char value[512] = {};
    GetPrivateProfileStringA(section, key, "?", value, sizeof(value),
                             scenario_->ConfigPath().c_str());
    return value;
  }

  std::unique_ptr<Scenario> scenario_;
  std::unique_ptr<ChildProcess> program_;
  HWND window_ = nullptr;
};

TEST_F(PropertiesWindowTest, IndicatorsFollowTheLinesOfThePort) {
  // No player runs here: presses must not stop the cycle with a question.
  Open("props-indicators", "IfInactive=3\r\n");
  auto com5 = pelorin::testing::StandinLines::ForPort(5);
  ASSERT_TRUE(com5.has_value());
  auto checked = [&](C control) {
    return SendMessageW(Com(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  auto caption = [&](C control) {
    wchar_t text[16] = {};
    SendMessageW(Com(control), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };

  // CTS and RI together: hardware buttons 3 and 4, combination code 12.
  com5->SetInputs(STANDIN_CTS | STANDIN_RI);
  EXPECT_TRUE(
      WaitUntil([&] { return checked(C::PrimaryCtsIndicator) && checked(C::PrimaryRiIndicator); }));
  EXPECT_TRUE(WaitUntil(
      [&] { return checked(C::PrimaryButton3Indicator) && checked(C::PrimaryButton4Indicator); }));
  EXPECT_FALSE(checked(C::PrimaryDcdIndicator));
  EXPECT_FALSE(checked(C::PrimaryButton1Indicator));
  EXPECT_TRUE(WaitUntil([&] { return caption(C::PrimaryCombinationIndicator) == L"12"; }));
  EXPECT_TRUE(checked(C::PrimaryCombinationIndicator));

  com5->SetInputs(0);
  EXPECT_TRUE(WaitUntil(
      [&] { return !checked(C::PrimaryCtsIndicator) && !checked(C::PrimaryButton4Indicator); }));
  EXPECT_TRUE(WaitUntil([&] {
    return caption(C::PrimaryCombinationIndicator).empty() &&
           !checked(C::PrimaryCombinationIndicator);
  }));
}

TEST_F(PropertiesWindowTest, EveryTabIsWhollyVisibleWithTheMachinesFonts) {
  // With the fonts of this machine (Wine's own ones may be missing, and its
  // fallback face is wider) the tab row fits without scroll arrows. The
  // labels' texts are measured in the view tests, in the window's own
  // process: a font handle means nothing in this one.
  Open("props-tabs");
  HWND tabs = FindControl(window_, IdOf(win32::kFrameIdBase, FrameControl::Tabs));
  RECT client;
  GetClientRect(tabs, &client);
  const std::vector<RECT> items = TabItemRects(tabs);
  ASSERT_EQ(items.size(), 5u);
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_GE(items[i].left, 0) << "tab " << i;
    EXPECT_LE(items[i].right, client.right) << "tab " << i;
  }
  EXPECT_FALSE(ShowsChildOfClass(tabs, UPDOWN_CLASSA)) << "the tab row scrolls";
}

TEST_F(PropertiesWindowTest, FailedApplyKeepsApplyEnabledAndCancelReloads) {
  Open("props-apply");
  HWND port = Com(C::PrimaryPortList);
  EXPECT_EQ(ListSelection(port), 4);  // COM5
  EXPECT_EQ(ListEntryText(Com(C::PrimaryModeList), 3), "15 buttons");
  EXPECT_FALSE(ApplyEnabled());

  ChooseListEntry(port, 6);  // COM7 does not exist
  ChooseListEntry(Com(C::PrimaryModeList), 1);
  EXPECT_TRUE(ApplyEnabled());
  ClickWithoutWaiting(Apply());
  HWND box = WaitForMessageBox("Pelorin");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind("Error opening COM7", 0), 0u) << MessageBoxText(box);
  PressMessageBoxButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([] { return FindMessageBox("Pelorin") == nullptr; }));
  EXPECT_TRUE(Visible());
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(ListSelection(port), 6);

  Click(FindControl(window_, IDCANCEL));
  EXPECT_TRUE(WaitUntil([&] { return !Visible(); }));
  SendRequest(kShowRequest);
  ASSERT_TRUE(WaitUntil([&] { return Visible(); }));
  EXPECT_EQ(ListSelection(port), 4);
  EXPECT_EQ(ListSelection(Com(C::PrimaryModeList)), 0);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(PropertiesWindowTest, EscapeClosesTheWindowAndTheSecondaryBoxGreysItsGroup) {
  Open("props-escape");
  HWND box = Com(C::UseSecondaryCheck);
  const bool ticked = IsTicked(box);
  Click(box);
  EXPECT_NE(IsTicked(box), ticked);
  EXPECT_EQ(IsWindowEnabled(Com(C::SecondaryGroup)) != FALSE, !ticked);
  EXPECT_EQ(IsWindowEnabled(Winamp(W::SecondaryGroup)) != FALSE, !ticked);
  EXPECT_TRUE(ApplyEnabled());

  PressKey(Com(C::PrimaryPortList), VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !Visible(); }));
  EXPECT_TRUE(program_->Running());
}

TEST_F(PropertiesWindowTest, FourButtonsAndBackKeepsTheUpperSlots) {
  Open("props-modes");
  HWND mode = Com(C::PrimaryModeList);
  HWND buttons = Winamp(W::PrimaryButtonList);
  ChooseListEntry(mode, 3);
  ASSERT_EQ(ListCount(buttons), 15);
  ChooseListEntry(buttons, 9);
  ChooseListEntry(Winamp(W::PrimaryClickModeList), 0);
  ChooseListEntry(Winamp(W::PrimaryRow1List), 5);

  ChooseListEntry(mode, 0);
  EXPECT_EQ(ListCount(buttons), 4);
  EXPECT_EQ(ListSelection(buttons), 0);
  ChooseListEntry(mode, 3);
  EXPECT_EQ(ListCount(buttons), 15);
  ChooseListEntry(buttons, 9);
  EXPECT_EQ(ListSelection(Winamp(W::PrimaryRow1List)), 5);
}

TEST_F(PropertiesWindowTest, CtrlThenF5WithOnlyCTickedStores529Then628) {
  Open("props-keys");
  ShowWinampTab();
  ChooseListEntry(Winamp(W::PrimaryClickModeList), 0);
  ChooseListEntry(Winamp(W::PrimaryRow2List), kKeyboardButtonCommand);
  Click(Winamp(W::PrimaryCtrlCheck));
  HWND key = Winamp(W::PrimaryKeyField);
  ASSERT_TRUE(IsWindowVisible(key));
  Focus(window_, key);

  PressKey(key, VK_CONTROL);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(key) != "" && ApplyEnabled(); }));
  ApplyAndWait();
  EXPECT_EQ(Stored("Port1Button1", "Key2"), "529");

  PressKey(key, VK_F5);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(key) == "F5"; })) << TextOf(key);
  ApplyAndWait();
  EXPECT_EQ(Stored("Port1Button1", "Key2"), "628");
}

TEST_F(PropertiesWindowTest, EscapeInTheKeyFieldIsCapturedAndTheWindowStaysOpen) {
  Open("props-escape-key");
  ShowWinampTab();
  ChooseListEntry(Winamp(W::PrimaryClickModeList), 0);
  ChooseListEntry(Winamp(W::PrimaryRow1List), kKeyboardButtonCommand);
  HWND key = Winamp(W::PrimaryKeyField);
  Focus(window_, key);
  PressKey(key, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(key) == "Escape"; })) << TextOf(key);
  EXPECT_TRUE(Visible());
  ApplyAndWait();
  EXPECT_EQ(Stored("Port1Button1", "Key1"), "27");
}

TEST_F(PropertiesWindowTest, ABareTypedPathIsStoredAsTypedAndReadsBackQuoted) {
  Open("props-file");
  ShowWinampTab();
  ChooseListEntry(Winamp(W::PrimaryClickModeList), 4);
  ChooseListEntry(Winamp(W::PrimaryRow3List), kStartFileCommand);
  HWND field = Winamp(W::PrimaryFileField);
  ASSERT_TRUE(IsWindowVisible(field));
  TypeText(field, "C:\\Tools\\run.exe");
  ApplyAndWait();
  const std::string config = ReadFileText(scenario_->ConfigPath());
  EXPECT_NE(config.find("Exec3=C:\\Tools\\run.exe\r\n"), std::string::npos);

  // The next show reloads the stored settings: the text comes back quoted.
  Click(FindControl(window_, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !Visible(); }));
  SendRequest(kShowRequest);
  ASSERT_TRUE(WaitUntil([&] { return Visible(); }));
  ShowWinampTab();
  EnterList(Winamp(W::PrimaryRow3List));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(field) != FALSE; }));
  EXPECT_EQ(TextOf(field), "\"C:\\Tools\\run.exe\"");
}

// The open dialog of the "..." button, answered with `path` from outside.
void PickFileInOpenDialog(const std::string& path) {
  HWND dialog = WaitForMessageBox("Select file to start:");
  ASSERT_NE(dialog, nullptr) << "the open dialog";
  // The name field: an edit inside the name combo box (id 0x47C, nested in
  // the explorer-style dialog), else the plain name edit (0x480).
  struct Search {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        char cls[16] = {};
        GetClassNameA(child, cls, sizeof(cls));
        const int id = GetDlgCtrlID(child);
        if (std::string(cls) == "Edit" && (id == 0x47C || id == 0x480)) {
          reinterpret_cast<Search*>(data)->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  HWND name = search.found;
  ASSERT_NE(name, nullptr);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return IsWindow(dialog) == FALSE; }));
}

TEST_F(PropertiesWindowTest, AFilePickedForRowThreeIsStoredQuotedOnBothPorts) {
  // The secondary port in use, on the session's second stand-in terminal.
  Open("props-pick", "UsePort2=1\r\n[Secondary]\r\nPort=6\r\n");
  ShowWinampTab();
  const std::string picked = scenario_->ExePath();
  for (PortRole port : kPortRoles) {
    ChooseListEntry(Winamp(WinampControlOf(port, W::PrimaryClickModeList)), 4);  // "Clicks+Hold"
    ChooseListEntry(Winamp(WinampControlOf(port, W::PrimaryRow3List)), kStartFileCommand);
    ASSERT_TRUE(IsWindowVisible(Winamp(WinampControlOf(port, W::PrimaryFileField))));
    ClickWithoutWaiting(Winamp(WinampControlOf(port, W::PrimaryBrowseFileButton)));
    PickFileInOpenDialog(picked);
    EXPECT_TRUE(WaitUntil([&] {
      return TextOf(Winamp(WinampControlOf(port, W::PrimaryFileField))) == "\"" + picked + "\"";
    })) << TextOf(Winamp(WinampControlOf(port, W::PrimaryFileField)));
  }
  ApplyAndWait();
  EXPECT_EQ(Stored("Port1Button1", "Exec3"), picked) << "quotes removed by the reader";
  EXPECT_EQ(Stored("Port2Button1", "Exec3"), picked);
  const std::string config = ReadFileText(scenario_->ConfigPath());
  EXPECT_NE(config.find("Exec3=\"" + picked + "\"\r\n"), std::string::npos);
}

TEST_F(PropertiesWindowTest, PressingRiCtsDsrDcdInTurnAssignsOneToFourAndOkStoresThem) {
  // Presses of the buttons while no player runs: nothing is asked.
  Open("props-remap", "IfInactive=3\r\n");
  Click(Com(C::PrimaryRemapButton));
  HWND remap = FindWindowA("TForm2", "Primary COM-port buttons");
  ASSERT_NE(remap, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(remap) != FALSE; }));
  EXPECT_FALSE(IsWindowEnabled(window_)) << "the properties window waits for the dialog";
  Click(FindControl(remap, win32::kRemapAssignId));
  ASSERT_TRUE(IsWindowVisible(FindControl(remap, win32::kRemapAutoCancelId)));

  auto com5 = pelorin::testing::StandinLines::ForPort(5);
  ASSERT_TRUE(com5.has_value());
  // Line index in the dialog (DCD, DSR, CTS, RI) and the stand-in's bit.
  const struct {
    int line;
    unsigned bit;
  } presses[4] = {{3, STANDIN_RI}, {2, STANDIN_CTS}, {1, STANDIN_DSR}, {0, STANDIN_DCD}};
  for (int k = 0; k < 4; ++k) {
    HWND item = FindControl(remap, win32::kRemapRadioIdBase + 10 * presses[k].line + k + 1);
    com5->Change(presses[k].bit, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsTicked(item); })) << "press " << k + 1;
    com5->Change(0, presses[k].bit);
    Sleep(100);  // a few poll ticks with the line released: the next press is a new edge
  }
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(FindControl(remap, IDOK)) != FALSE; }))
      << "the fourth press returns to the Manual page";

  Click(FindControl(remap, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(remap); }));
  EXPECT_TRUE(IsWindowEnabled(window_));
  EXPECT_EQ(Stored("Primary", "RI"), "1");
  EXPECT_EQ(Stored("Primary", "CTS"), "2");
  EXPECT_EQ(Stored("Primary", "DSR"), "3");
  EXPECT_EQ(Stored("Primary", "DCD"), "4");
}

}  // namespace
}  // namespace pelorin::e2e
