// The unchanged pelorin.exe under Wine: first start, single instance, the
// requests another copy may send, and the ways the program ends.
#include <gtest/gtest.h>

#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

using pelorin::testing::StandinLines;
using pelorin::testing::StandInPlayer;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// COM5 of the session is a stand-in terminal whose lines the test sees.
StandinLines Com5() {
  auto lines = StandinLines::ForPort(5);
  EXPECT_TRUE(lines.has_value()) << "run under the serial stand-in (port 5)";
  return lines.value_or(StandinLines(""));
}

bool LineUp(const StandinLines& lines, unsigned bit) {
  auto state = lines.Read();
  return state && (*state & bit) != 0;
}

// The shell changes only an icon it holds: a change of the tip succeeds
// exactly while the program's icon is there.
bool TrayIconShown(HWND window) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  record.uID = 0;
  record.uFlags = NIF_TIP;
  std::strcpy(record.szTip, "Pelorin");
  return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

std::string AutostartEntry() {
  bool found = false;
  std::string value = ReadRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Pelorin", &found);
  if (!found) value = ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Pelorin", &found);
  return value;
}

TEST(FirstStartTest, AsksForAPortOpensTheWindowAndStoresEverythingOnClose) {
  Scenario scenario("first-start");
  auto program = scenario.Start();

  HWND box = WaitForMessageBox("Pelorin");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Select primary COM port.");
  EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
  PressMessageBoxButton(box, IDOK);

  // No player is installed in the test prefix: the warning follows.
  ASSERT_TRUE(WaitUntil([] {
    HWND warning = FindMessageBox("Pelorin");
    return warning && MessageBoxText(warning).rfind("Unable to find Winamp installed!", 0) == 0;
  }));
  PressMessageBoxButton(FindMessageBox("Pelorin"), IDOK);

  HWND window = FindPropertiesWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }))
      << "a port that cannot be opened opens the properties window";
  EXPECT_FALSE(FileExists(scenario.ConfigPath()));

  // Closing the visible window only hides it; a close of the hidden window
  // (as at the end of the session) ends the program and stores everything.
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) == FALSE; }));
  EXPECT_TRUE(program->Running());
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program->WaitForExit(10000));

  const std::string config = ReadFileText(scenario.ConfigPath());
  EXPECT_EQ(config.rfind("[Primary]", 0), 0u) << config.substr(0, 200);
  for (const char* section : {"[Secondary]", "[Options]", "[Port1Button1]", "[Port2Button15]"}) {
    EXPECT_NE(config.find(section), std::string::npos) << section;
  }
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Software\\Tarvesk\\Pelorin", "INI"),
            scenario.ConfigPath());
  EXPECT_EQ(AutostartEntry(), "\"c:\\pelorin-e2e\\first-start\\pelorin.exe\"");
}

// The icon may sit unseen in the overflow (Windows 11): starting the program
// again is how a user reaches the running copy.
TEST(SingleInstanceTest, SecondCopyOpensTheFirstCopysWindowAndEnds) {
  Scenario scenario("single-instance");
  auto first = scenario.StartConfigured();
  HWND window = FindPropertiesWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([] { return LineUp(Com5(), STANDIN_DTR); }));
  EXPECT_FALSE(IsWindowVisible(window));

  auto second = scenario.Start();
  ASSERT_TRUE(second->WaitForExit(10000));
  EXPECT_TRUE(MessageBoxesShown().empty());
  EXPECT_TRUE(first->Running());
  EXPECT_EQ(FindPropertiesWindow(), window);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
}

TEST(RequestsTest, HandleQueryAndQuitRequestWhichNeitherStoresNorClearsTheLed) {
  Scenario scenario("quit-request");
  auto program = scenario.StartConfigured();
  StandinLines com5 = Com5();
  ASSERT_TRUE(WaitUntil([&] { return LineUp(com5, STANDIN_RTS); }))
      << "the LED shows that the program runs";

  EXPECT_NE(SendRequest(1, 0), 0) << "primary port handle";
  EXPECT_EQ(SendRequest(1, 1), 0) << "the secondary port was never opened";
  EXPECT_EQ(SendRequest(1, 7), -1);

  const std::string config_before = ReadFileText(scenario.ConfigPath());
  EXPECT_EQ(SendRequest(2), 0);
  ASSERT_TRUE(program->WaitForExit(10000));
  EXPECT_EQ(ReadFileText(scenario.ConfigPath()), config_before) << "nothing stored";
  EXPECT_TRUE(LineUp(com5, STANDIN_RTS)) << "the LED line is left as it was";
}

TEST(RequestsTest, ShowRequestOpensTheWindow) {
  Scenario scenario("show-request");
  auto program = scenario.StartConfigured();
  ASSERT_TRUE(WaitUntil([] { return LineUp(Com5(), STANDIN_DTR); }));
  EXPECT_EQ(SendRequest(0), 0);
  EXPECT_TRUE(WaitUntil([] { return IsWindowVisible(FindPropertiesWindow()) != FALSE; }));
}

// Windows asks, and the end may still be cancelled by another program or the
// user: only a real end may take the buttons away.
TEST(SessionEndTest, ACancelledEndKeepsTheButtonsWorkingAndARealOneEndsInOrder) {
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("session-end");
  auto program = scenario.StartConfigured();
  StandinLines com5 = Com5();
  com5.SetInputs(0);
  ASSERT_TRUE(WaitUntil([&] { return LineUp(com5, STANDIN_DTR); }));
  HWND window = FindPropertiesWindow();
  ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(window); }));
  ASSERT_EQ(ReadFileText(scenario.ConfigPath()).find("Version=1.4"), std::string::npos);

  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_NE(ReadFileText(scenario.ConfigPath()).find("Version=1.4"), std::string::npos)
      << "settings stored when asked";
  SendMessageA(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(TrayIconShown(window));
  EXPECT_TRUE(LineUp(com5, STANDIN_DTR));
  com5.SetInputs(STANDIN_CTS);
  EXPECT_TRUE(WaitUntil([&] {
    if (!player.Sync()) return false;
    const auto log = player.Log();
    return std::count(log.begin(), log.end(), "player posted 273 40048 0") == 1;
  })) << "a button still reaches the player";
  com5.SetInputs(0);

  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(program->WaitForExit(10000));
  EXPECT_FALSE(LineUp(com5, STANDIN_RTS)) << "the LED is dark";
}

TEST(TrayMenuTest, ExitStoresTheSettingsAndClearsTheLed) {
  Scenario scenario("tray-exit");
  auto program = scenario.StartConfigured();
  StandinLines com5 = Com5();
  ASSERT_TRUE(WaitUntil([&] { return LineUp(com5, STANDIN_RTS); }));

  // A right press on the icon opens the menu; "E&xit" is its fourth item.
  PostMessageA(FindPropertiesWindow(), WM_USER + 1, 0, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr; }));
  for (int i = 0; i < 4; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);

  ASSERT_TRUE(program->WaitForExit(10000));
  EXPECT_FALSE(LineUp(com5, STANDIN_RTS));
  const std::string config = ReadFileText(scenario.ConfigPath());
  EXPECT_NE(config.find("Version=1.4"), std::string::npos) << "settings stored on exit";
}

// Both editions write the same file for the same settings: the file this
// program writes on its end is kept in the sources, and the Linux edition's
// end-to-end test compares its own with it.
TEST(SettingsFileTest, TheFileWrittenOnTheEndIsTheOneBothEditionsWrite) {
  Scenario scenario("shared-settings");
  auto program =
      scenario.StartWithConfig(ReadFileText(WindowsPathOf(PELORIN_SHARED_SETTINGS "-input.ini")));
  StandinLines com5 = Com5();
  ASSERT_TRUE(WaitUntil([&] { return LineUp(com5, STANDIN_DTR); }));
  // Hidden, the window's close ends the program and stores the settings.
  PostMessageA(FindPropertiesWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program->WaitForExit(10000));
  EXPECT_EQ(ReadFileText(scenario.ConfigPath()),
            ReadFileText(WindowsPathOf(PELORIN_SHARED_SETTINGS "-written.ini")));
}

}  // namespace
}  // namespace pelorin::e2e
