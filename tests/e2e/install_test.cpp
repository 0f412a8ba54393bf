// "install" and "uninstall" on the command line of the unchanged pelorin.exe.
#include <gtest/gtest.h>

#include "support/scenario.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

constexpr char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelorin";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool AutostartEntryExists() {
  bool machine = false;
  bool user = false;
  ReadRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Pelorin", &machine);
  ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Pelorin", &user);
  return machine || user;
}

// Starts "uninstall" beside a running copy and answers its question.
std::unique_ptr<ChildProcess> RunUninstall(Scenario& scenario, int answer) {
  auto uninstaller = scenario.Start("UnInstall extra-argument");
  HWND box = WaitForMessageBox("Uninstall");
  EXPECT_NE(box, nullptr);
  if (box) {
    EXPECT_EQ(MessageBoxText(box), "Do you really want to uninstall\r\nPelorin?");
    PressMessageBoxButton(box, answer);
  }
  return uninstaller;
}

// Wine gives every process a full administrator token (TokenIsElevated, with
// the elevation type of a split UAC token), so here the installing copy is an
// elevated one: it writes the entry and ends instead of staying resident. A
// normal user's install, which stays, is covered with the fakes.
TEST(InstallTest, InstallWritesTheUninstallEntryThenAnElevatedCopyEnds) {
  Scenario scenario("install");
  auto program = scenario.StartConfigured();
  program->Kill();  // a copy that was killed leaves no settings behind
  scenario.WriteConfig("[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\n");
  auto installed = scenario.Start("INSTALL");
  ASSERT_TRUE(WaitUntil([] {
    bool found = false;
    ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString", &found);
    return found;
  }));

  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayName"), "Pelorin");
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString"),
            "\"c:\\pelorin-e2e\\install\\pelorin.exe\" uninstall");
  EXPECT_TRUE(installed->WaitForExit(10000)) << "an elevated copy ends after installing";
  EXPECT_EQ(FindPropertiesWindow(), nullptr);
}

TEST(UninstallTest, AnsweredNoLeavesEverything) {
  Scenario scenario("uninstall-no");
  auto program = scenario.StartConfigured();
  ASSERT_NE(FindPropertiesWindow(), nullptr);
  auto installer = scenario.Start("install");
  ASSERT_TRUE(installer->WaitForExit(10000)) << "a second copy ends after installing";

  auto uninstaller = RunUninstall(scenario, IDNO);
  ASSERT_TRUE(uninstaller->WaitForExit(10000));
  EXPECT_TRUE(program->Running());
  EXPECT_TRUE(FileExists(scenario.ExePath()));
  bool entry = false;
  ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayName", &entry);
  EXPECT_TRUE(entry);
}

TEST(UninstallTest, AnsweredYesEndsTheRunningCopyAndRemovesTheProgramButNotItsSettings) {
  Scenario scenario("uninstall-yes");
  auto program = scenario.StartConfigured();
  ASSERT_NE(FindPropertiesWindow(), nullptr);
  auto installer = scenario.Start("install");
  ASSERT_TRUE(installer->WaitForExit(10000));
  // The autostart entry as an earlier save of the settings left it.
  HKEY run = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &run, nullptr),
            ERROR_SUCCESS);
  const std::string path = "c:\\pelorin-e2e\\uninstall-yes\\pelorin.exe";
  RegSetValueExA(run, "Pelorin", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>(path.size() + 1));
  RegCloseKey(run);
  ASSERT_TRUE(AutostartEntryExists());

  auto uninstaller = RunUninstall(scenario, IDYES);
  ASSERT_TRUE(program->WaitForExit(10000)) << "the running copy was told to quit";
  ASSERT_TRUE(uninstaller->WaitForExit(10000));

  bool entry = true;
  ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayName", &entry);
  EXPECT_FALSE(entry);
  EXPECT_FALSE(AutostartEntryExists());
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(scenario.ExePath()); }, 15000))
      << "the batch file deletes the program once both copies have ended";
  EXPECT_TRUE(FileExists(scenario.ConfigPath())) << "the configuration stays";
  WIN32_FIND_DATAA found;
  EXPECT_TRUE(WaitUntil([&] {
    HANDLE again = FindFirstFileA((scenario.Folder() + "\\*.bat").c_str(), &found);
    if (again == INVALID_HANDLE_VALUE) return true;
    FindClose(again);
    return false;
  }, 15000)) << "the batch file deletes itself";
}

}  // namespace
}  // namespace pelorin::e2e
