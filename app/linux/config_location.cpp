#include "app/linux/config_location.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "platform/posix/system_error.h"

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
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return {};
  // The usual case, the folder made at an earlier start: one look.
  struct stat folder {};
  if (::stat(file.substr(0, slash).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode)) return {};
  // Each missing level is made on its own so that each can be closed to
  // others; the configuration names devices and programs to start.
  std::string level = file.starts_with('/') ? "/" : "";
  std::string_view rest = std::string_view(file).substr(0, slash);
  while (!rest.empty()) {
    const std::size_t next = rest.find('/');
    const std::string_view part = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    if (part.empty()) continue;
    if (!level.empty() && !level.ends_with('/')) level += '/';
    level += part;
    if (::mkdir(level.c_str(), 0700) == 0) {
      (void)::chmod(level.c_str(), 0700);  // past the umask; only a narrower mode is lost
      continue;
    }
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::stat(level.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
    return posix::SystemError(error, "mkdir", level);
  }
  return {};
}

}  // namespace pelorin::linux_os
