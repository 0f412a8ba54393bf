// The entry of the desktop module (pelorin-desktop.so): the one symbol it
// exports, which the program calls once it has loaded the module.
#include "app/linux/desktop_part.h"
#include "app/linux/desktop_program.h"
#include "platform/trace.h"

extern "C" __attribute__((visibility("default"))) int pelorin_run_desktop(
    char* program_name, pelorin::linux_os::LinuxBackends* backends,
    pelorin::linux_os::SignalFd* signals, const char* config_path) {
  // The module has its own copy of the trace: on when the user sets
  // PELORIN_TRACE, as the program's is.
  pelorin::TraceSession trace(pelorin::StandardErrorTrace());
  return pelorin::linux_os::RunDesktop(program_name, *backends, *signals, config_path);
}

// The type the program calls it through.
static_assert(std::is_same_v<decltype(&pelorin_run_desktop), pelorin::linux_os::DesktopPartEntry>);
