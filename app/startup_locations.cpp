#include "app/startup_locations.h"

#include "app/locations.h"

namespace pelorin {

PlayerLocation LocatePlayer(Registry& registry, FileSystem& files,
                            std::string_view executable_path) {
  if (auto key = registry.Open(RegistryRoot::LocalMachine,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp",
                               KeyAccess::Read, false)) {
    const std::string uninstall = key->ReadString("UninstallString").value_or("");
    return {PlayerDirectoryFromUninstallString(uninstall), true};
  }
  const std::string parent = ParentOfProgramDirectory(executable_path);
  if (files.FileExists(parent + "\\winamp.exe") || files.FileExists(parent + "\\studio.exe")) {
    return {parent, true};
  }
  return {};
}

std::string LocateBrowser(Registry& registry) {
  auto key = registry.Open(RegistryRoot::ClassesRoot, "http\\shell\\open\\command",
                           KeyAccess::Read, false);
  if (!key) return {};
  return BrowserPathFromCommand(key->ReadString("").value_or(""));
}

}  // namespace pelorin
