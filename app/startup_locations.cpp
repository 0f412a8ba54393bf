#include "app/startup_locations.h"

#include "app/locations.h"

namespace pelorin {

PlayerLocation LocatePlayer(Registry& registry, FileSystem& files,
                            std::string_view executable_path) {
  // The player is a 32-bit program: its installer registers it in the 32-bit
  // view, which a 64-bit build does not see unless it asks for it. A 64-bit
  // player would be in the other view.
  for (RegistryView view : {RegistryView::Wow32, RegistryView::Wow64}) {
    if (auto key = registry.OpenInView(view, RegistryRoot::LocalMachine, kPlayerUninstallKeyPath,
                                       KeyAccess::Read, false)) {
      const std::string uninstall = key->ReadString("UninstallString").value_or("");
      return {PlayerDirectoryFromUninstallString(uninstall), true};
    }
  }
  const std::string parent = ParentOfProgramDirectory(executable_path);
  if (files.FileExists(parent + "\\winamp.exe") || files.FileExists(parent + "\\studio.exe")) {
    return {parent, true};
  }
  return {};
}

}  // namespace pelorin
