#pragma once
#include <string>

#include "platform/os_error.h"

namespace pelorin::linux_os {

// The user's configuration file, $XDG_CONFIG_HOME/pelorin/pelorin.ini. An
// unset, empty or relative XDG_CONFIG_HOME counts as unset (relative paths
// are invalid there), which means $HOME/.config. Empty when neither gives an
// absolute folder.
std::string DefaultConfigPath(const char* xdg_config_home, const char* home);

// Creates the folders above `file` that are missing, each for the user only,
// so that the first save finds its folder.
OsStatus CreateFolderOf(const std::string& file);

}  // namespace pelorin::linux_os
