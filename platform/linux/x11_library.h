#pragma once
// Xlib's macros (None, Bool, Status...) clash with the program's own names:
// only the X backends include this.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <string>

namespace pelorin::linux_os {

// Every function of Xlib and of its XTEST client the program calls. A
// function missing here fails the build (the calls go through the table).
#define PELORIN_XLIB_FUNCTIONS(F) \
  F(XChangeKeyboardMapping)       \
  F(XCloseDisplay)                \
  F(XDisplayKeycodes)             \
  F(XFlush)                       \
  F(XFree)                        \
  F(XGetKeyboardMapping)          \
  F(XKeysymToKeycode)             \
  F(XNextEvent)                   \
  F(XOpenDisplay)                 \
  F(XPending)                     \
  F(XRefreshKeyboardMapping)      \
  F(XSetIOErrorExitHandler)       \
  F(XSetIOErrorHandler)           \
  F(XSync)
#define PELORIN_XTEST_FUNCTIONS(F) \
  F(XTestFakeKeyEvent)             \
  F(XTestQueryExtension)

// Xlib and its XTEST client, loaded when a display is to be opened rather
// than with the program: a program without a display (a headless box) never
// loads them, nor the eight libraries they bring.
struct XLibrary {
#define PELORIN_X_POINTER(name) decltype(&::name) name = nullptr;
  PELORIN_XLIB_FUNCTIONS(PELORIN_X_POINTER)
  PELORIN_XTEST_FUNCTIONS(PELORIN_X_POINTER)
#undef PELORIN_X_POINTER
};

// The libraries, loaded at the first call and kept until the process ends.
// nullptr with the reason in `why` when either does not load or lacks a
// function; the next call tries again.
const XLibrary* LoadXLibrary(std::string& why);

// The loaded libraries; only after LoadXLibrary succeeded (every display
// connection exists only then).
const XLibrary& Xlib();

// The display a program connects to for `name`, as Xlib picks it: `name`
// itself, else $DISPLAY; empty when neither is set.
std::string DisplayNameFor(const char* name);

}  // namespace pelorin::linux_os
