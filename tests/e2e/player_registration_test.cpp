// The unchanged pelorin.exe under Wine finds a player registered as its
// 32-bit installer registers it: in the 32-bit registry view only, which a
// 64-bit program sees only when it asks for it.
#include <gtest/gtest.h>

#include "support/scenario.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

TEST(PlayerRegistrationTest, PlayerIn32BitViewIsFoundWithoutWarningAndStartedFromTheMenu) {
  Scenario scenario("player-32bit-view");
  // The stand-in player plays the installed player's executable; started
  // without arguments, it logs to a file in its current folder.
  const std::string player_folder = scenario.Folder() + "\\Winamp";
  const std::string started_log = player_folder + "\\stand_in_player.log";
  CreateDirectoryA(player_folder.c_str(), nullptr);
  DeleteFileA(started_log.c_str());
  ASSERT_TRUE(
      CopyFileA(StandInPlayerPath().c_str(), (player_folder + "\\Winamp.exe").c_str(), FALSE));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPlayerUninstallKey, 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::string uninstaller = "\"" + player_folder + "\\UninstWA.exe\"";
  RegSetValueExA(key, "UninstallString", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(uninstaller.c_str()),
                 static_cast<DWORD>(uninstaller.size() + 1));
  RegCloseKey(key);  // the scenario removes the key again
  bool in_64bit_view = true;
  ReadRegistryString(HKEY_LOCAL_MACHINE, kPlayerUninstallKey, "UninstallString", &in_64bit_view);
  ASSERT_FALSE(in_64bit_view) << "the prefix keeps the 32-bit view apart";

  auto program = scenario.StartWithConfig(
      "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=1\r\nWinampOnStartup=0\r\nAutoStartup=0\r\n");
  ASSERT_NE(FindPropertiesWindow(), nullptr);
  EXPECT_FALSE(FileExists(started_log)) << "not started before it is asked for";

  // "Start &Winamp" is the menu's second item; a greyed one starts nothing.
  PostMessageA(FindPropertiesWindow(), WM_USER + 1, 0, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr; }));
  for (int i = 0; i < 2; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitUntil([&] { return FileExists(started_log); }))
      << "the player in the registered folder was not started";
  HWND player = nullptr;
  if (WaitUntil([&] { return (player = FindWindowA("Winamp v1.x", nullptr)) != nullptr; })) {
    PostMessageA(player, WM_APP + 5, 0, 0);  // the stand-in's own quit request
  }
  // A warning would still be up: nobody has answered it.
  EXPECT_EQ(FindMessageBox("Pelorin"), nullptr) << "no \"Unable to find Winamp installed!\"";
}

}  // namespace
}  // namespace pelorin::e2e
