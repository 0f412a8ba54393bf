#pragma once
#include <string>

namespace pelorin::win32 {

// Facts about this process and its user that the entry point reads once, as
// UTF-8 text; each is empty when the system cannot tell it.

// The full path of the program's own executable, however long.
std::string ExecutablePath();

// The Windows folder, where the profile functions place a file name without
// a folder.
std::string WindowsFolder();

// The Windows system folder, where the system's own programs (the volume
// control) live.
std::string SystemFolder();

// The user's roaming application-data folder (%APPDATA%), where per-user
// settings live.
std::string RoamingAppDataFolder();

// The user's local application-data folder (%LOCALAPPDATA%), which holds
// the files Windows redirects from protected folders for older 32-bit
// programs (its VirtualStore).
std::string LocalAppDataFolder();

}  // namespace pelorin::win32
