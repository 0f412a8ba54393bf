// Apart from the rest of the desktop program: Xlib's macros (None, Bool,
// Status...) clash with the program's own names.
#include <cstdlib>

#include "app/linux/desktop_display.h"
#include "platform/linux/x11_library.h"

namespace pelorin::linux_os {

bool DisplayOpens(std::string* why) {
  const char* name = std::getenv("DISPLAY");  // NOLINT(concurrency-mt-unsafe): before threads
  if (name == nullptr || *name == '\0') {
    if (why != nullptr) *why = "no X display (DISPLAY is not set)";
    return false;
  }
  std::string cannot_load;
  if (LoadXLibrary(cannot_load) == nullptr) {
    if (why != nullptr) *why = "no X client library (" + cannot_load + ")";
    return false;
  }
  Display* display = Xlib().XOpenDisplay(name);
  if (display == nullptr) {
    if (why != nullptr) *why = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  Xlib().XCloseDisplay(display);
  return true;
}

}  // namespace pelorin::linux_os
