#pragma once
#include <cstdint>

// The program's identity and what other programs and stored files rely on:
// a running copy is found by its window class and caption, ended or asked
// through WM_USER requests, and its traces in the registry are found by these
// paths. Every text and number here is fixed; changing one breaks another
// copy, the uninstaller, an earlier user's registry or the test harness,
// which all include this header.

namespace pelorin {

// The hidden main window, which is also the properties window.
inline constexpr const char* kMainWindowClass = "TForm1";
inline constexpr const char* kMainWindowCaption = "Pelorin Properties";

// The caption of the program's own message boxes.
inline constexpr const char* kProgramCaption = "Pelorin";

// The named mutex that lets only one copy run.
inline constexpr const char* kInstanceMutexName = "Pelorin";

// Window message numbers, as the Win32 API defines them.
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmUser = 0x0400;

// The requests the main window accepts from another program in WM_USER
// (the request in wParam).
inline constexpr std::uintptr_t kShowRequest = 0;
// lParam 0 asks for the primary port's handle, 1 for the secondary's.
inline constexpr std::uintptr_t kPortHandleQuery = 1;
inline constexpr std::uintptr_t kQuitRequest = 2;

// The tray icon's callback message; lParam is the mouse message.
inline constexpr std::uint32_t kTrayCallbackMessage = kWmUser + 1;

// Registry paths, all relative to HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE.
// The program's own key; it holds the `INI` pointer and the values of the
// earlier layout that serve as defaults (HKEY_CURRENT_USER).
inline constexpr const char* kSettingsKeyPath = "Software\\Tarvesk\\Pelorin";
// The Run key holding the autostart entry, and the entry's value name.
inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kAutostartValueName = "Pelorin";
// The uninstall list of Windows, the program's entry in it and the player's.
inline constexpr const char* kUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kUninstallEntryPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelorin";
inline constexpr const char* kPlayerUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";

// The configuration file's name beside the executable.
inline constexpr const char* kDefaultConfigFileName = "Pelorin.ini";
// The folder in the user's application-data folder that holds the
// configuration file where the executable's folder takes no new files.
inline constexpr const char* kPerUserFolderName = "Pelorin";

}  // namespace pelorin
