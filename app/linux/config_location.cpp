#include "app/linux/config_location.h"

#include <filesystem>
#include <system_error>

namespace pelorin::linux_os {
namespace {

bool AbsolutePath(const char* value) {
  return value != nullptr && value[0] == '/';
}

}  // namespace

std::string DefaultConfigPath(const char* xdg_config_home, const char* home) {
  std::string folder;
  if (AbsolutePath(xdg_config_home)) {
    folder = xdg_config_home;
  } else if (AbsolutePath(home)) {
    folder = std::string(home) + "/.config";
  } else {
    return {};
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder + "/pelorin/pelorin.ini";
}

OsStatus CreateFolderOf(const std::string& file) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(file).parent_path();
  if (folder.empty()) return {};
  // Each missing level is made on its own so that each can be closed to
  // others; the configuration names devices and programs to start.
  fs::path level;
  for (const fs::path& part : folder) {
    level /= part;
    std::error_code error;
    if (!fs::create_directory(level, error)) {
      if (error) return OsError{error.value(), "mkdir", level.string(), error.message()};
      continue;  // there already
    }
    fs::permissions(level, fs::perms::owner_all, error);  // only a narrower mode is lost
  }
  return {};
}

}  // namespace pelorin::linux_os
