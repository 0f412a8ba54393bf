#include "platform/linux/x11_library.h"

#include <cstdlib>

#include "platform/linux/loaded_library.h"

namespace pelorin::linux_os {
namespace {

XLibrary loaded_x;
bool x_loaded = false;

}  // namespace

const XLibrary* LoadXLibrary(std::string& why) {
  if (x_loaded) return &loaded_x;
  // The run-time names their packages install.
  LoadedLibrary xlib("libX11.so.6");
  LoadedLibrary xtest("libXtst.so.6");
  XLibrary table;
#define PELORIN_XLIB_FIND(name) xlib.Find(#name, table.name);
#define PELORIN_XTEST_FIND(name) xtest.Find(#name, table.name);
  PELORIN_XLIB_FUNCTIONS(PELORIN_XLIB_FIND)
  PELORIN_XTEST_FUNCTIONS(PELORIN_XTEST_FIND)
#undef PELORIN_XLIB_FIND
#undef PELORIN_XTEST_FIND
  for (const LoadedLibrary* library : {&xlib, &xtest}) {
    if (!library->Complete()) {
      why = library->Why();
      return nullptr;
    }
  }
  xlib.Keep();
  xtest.Keep();
  loaded_x = table;
  x_loaded = true;
  return &loaded_x;
}

const XLibrary& Xlib() {
  return loaded_x;
}

std::string DisplayNameFor(const char* name) {
  if (name != nullptr && *name != '\0') return name;
  const char* variable = std::getenv("DISPLAY");  // NOLINT(concurrency-mt-unsafe): read only
  return variable != nullptr ? variable : "";
}

}  // namespace pelorin::linux_os
