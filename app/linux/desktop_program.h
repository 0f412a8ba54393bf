#pragma once
#include <string>

#include "app/linux/program_parts.h"
#include "platform/linux/event_loop.h"

namespace pelorin::linux_os {

// Runs the program with its face on the desktop: the properties window, the
// remap dialogs, the tray icon and the questions in Qt windows, all in the
// Qt application's event loop, which also watches the signals, other
// copies' requests and the device watch. Returns the process's exit status.
// `program_name` is argv[0].
int RunDesktop(char* program_name, LinuxBackends& backends, SignalFd& signal_fd,
               const std::string& config_path);

}  // namespace pelorin::linux_os
