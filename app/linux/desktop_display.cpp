// Apart from the rest of the desktop program: Xlib's macros (None, Bool,
// Status...) clash with the program's own names.
#include <X11/Xlib.h>

#include <cstdlib>

#include "app/linux/desktop_display.h"

namespace pelorin::linux_os {

bool DisplayOpens(std::string* why) {
  const char* name = std::getenv("DISPLAY");  // NOLINT(concurrency-mt-unsafe): before threads
  if (name == nullptr || *name == '\0') {
    if (why != nullptr) *why = "no X display (DISPLAY is not set)";
    return false;
  }
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    if (why != nullptr) *why = std::string("cannot open the X display \"") + name + "\"";
    return false;
  }
  XCloseDisplay(display);
  return true;
}

}  // namespace pelorin::linux_os
