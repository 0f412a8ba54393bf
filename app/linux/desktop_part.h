#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/linux/program_parts.h"
#include "platform/linux/event_loop.h"

namespace pelorin::linux_os {

// The desktop part (the Qt windows, tray icon and questions) is a module of
// its own, `pelorin-desktop.so`, loaded only when the program shows its face
// on a desktop: the headless program never loads Qt's libraries, and runs on
// a machine that does not have them.
inline constexpr const char* kDesktopPartFile = "pelorin-desktop.so";
// The one symbol the module exports, of type DesktopPartEntry.
inline constexpr const char* kDesktopPartEntry = "pelorin_run_desktop";
using DesktopPartEntry = int (*)(char* program_name, LinuxBackends* backends, SignalFd* signals,
                                 const char* config_path);

// Where the module is looked for, in order: beside the executable (a build
// folder), then in the library folder of an installed program
// (<prefix>/lib/pelorin/ beside <prefix>/bin/).
std::vector<std::string> DesktopPartPlaces(const std::string& executable_path);

// Loads the desktop part and runs the program with it; the process's exit
// status. Nothing, with `why`, when no place holds a module that loads (Qt's
// libraries missing, say): the caller then runs the program headless.
std::optional<int> RunDesktopPart(char* program_name, LinuxBackends& backends, SignalFd& signals,
                                  const std::string& config_path, std::string* why);

}  // namespace pelorin::linux_os
