#pragma once
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/identity.h"
#include "platform/registry.h"

namespace pelorin {

struct PlayerLocation {
  std::string directory;  // no trailing backslash; empty when not found
  bool found = false;
};

// The player's directory: from its uninstall registration when there is one
// (found even when the value is empty), the 32-bit registry view's before the
// 64-bit one's, else the parent of the program's own folder when winamp.exe
// or studio.exe lies there.
PlayerLocation LocatePlayer(Registry& registry, FileSystem& files,
                            std::string_view executable_path);

}  // namespace pelorin
