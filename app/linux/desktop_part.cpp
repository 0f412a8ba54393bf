#include "app/linux/desktop_part.h"

#include <dlfcn.h>

namespace pelorin::linux_os {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> DesktopPartPlaces(const std::string& executable_path) {
  const std::string folder = FolderOf(executable_path);
  return {folder + "/" + kDesktopPartFile, folder + "/../lib/pelorin/" + kDesktopPartFile};
}

std::optional<int> RunDesktopPart(char* program_name, LinuxBackends& backends, SignalFd& signals,
                                  const std::string& config_path, std::string* why) {
  std::string reasons;
  for (const std::string& place :
       DesktopPartPlaces(LinuxFacts(config_path, true).executable_path)) {
    // The module stays loaded until the process ends: the toolkit's
    // libraries it brings keep handlers that run at the exit.
    void* module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      if (const char* error = ::dlerror())
        reasons += (reasons.empty() ? "" : "; ") + std::string(error);
      continue;
    }
    auto entry = reinterpret_cast<DesktopPartEntry>(::dlsym(module, kDesktopPartEntry));
    if (entry == nullptr) {
      reasons += (reasons.empty() ? "" : "; ") + place + ": no " + kDesktopPartEntry;
      continue;
    }
    return entry(program_name, &backends, &signals, config_path.c_str());
  }
  if (why) *why = "the desktop part does not load (" + reasons + ")";
  return std::nullopt;
}

}  // namespace pelorin::linux_os
