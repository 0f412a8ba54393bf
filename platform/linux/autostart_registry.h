#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/registry.h"

namespace pelorin::linux_os {

// The path of this program's executable file, from /proc/self/exe.
Answer<std::string> OwnExecutablePath();

// The autostart folder of the XDG desktops: $XDG_CONFIG_HOME/autostart when
// that is an absolute path, else ~/.config/autostart.
std::string UserAutostartFolder();

// The registry of a system that has none. Every key fails to open with
// ENOENT, except the user's Run key (kRunKeyPath under CurrentUser, in any
// view), whose one value, kAutostartValueName, is the desktop's autostart
// entry "pelorin.desktop" in the autostart folder. The machine-wide Run key
// refuses with EACCES, so that the settings store falls back to the user's.
//
// - Writing the value (whatever its text) writes the entry: an application
//   named Pelorin that runs the executable at log-in. The entry is replaced
//   atomically; the autostart folder is created when missing.
// - Reading it answers the entry's command line (the executable quoted)
//   while the entry exists and is enabled; nothing when it is missing, or
//   the user turned it off in the desktop's settings (Hidden=true or
//   X-GNOME-Autostart-enabled=false).
// - Deleting it removes the entry; false when there was none, as for a
//   missing registry value.
// Other values read as missing and refuse writes; there are no subkeys.
class AutostartRegistry final : public Registry {
 public:
  // `folder`: the autostart folder (empty: UserAutostartFolder());
  // `executable`: the program the entry starts (empty: OwnExecutablePath()).
  explicit AutostartRegistry(FileSystem& files, std::string folder = {},
                             std::string executable = {});

  Opened<RegistryKey> OpenInView(RegistryView view, RegistryRoot root, const std::string& path,
                                 KeyAccess access, bool create) override;

 private:
  FileSystem& files_;
  std::string folder_;
  std::string executable_;
};

// `path` as one argument of a desktop entry's Exec key, in the file's own
// escaping: quoted, with `"`, backquote, `$` and `\` escaped inside the
// quotes, `%` doubled, and then the escapes of every string value (`\\`,
// `\n`, `\t`, `\r`) applied.
std::string DesktopExecArgument(const std::string& path);

}  // namespace pelorin::linux_os
