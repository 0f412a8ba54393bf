/*
 * key-catcher: a focused X window that writes one line per key event it
 * receives to standard output, e.g. "Ctrl+Alt+a down", with "(sent)" on
 * events another client made up. Prints "ready" once it has the focus. For
 * the end-to-end test of the Linux program's key commands.
 */
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "key-catcher: cannot open the display\n");
    return 1;
  }
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapWindow(display, window);
  XEvent event;
  do XNextEvent(display, &event);
  while (event.type != MapNotify);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    XNextEvent(display, &event);
    /* A keyboard that binds keys the map lacks to spare key codes changes it. */
    if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    if (event.type != KeyPress && event.type != KeyRelease) continue;
    const KeySym symbol = XkbKeycodeToKeysym(display, event.xkey.keycode, 0, 0);
    const unsigned state = event.xkey.state;
    printf("%s%s%s%s %s%s\n", state & ShiftMask ? "Shift+" : "", state & ControlMask ? "Ctrl+" : "",
           state & Mod1Mask ? "Alt+" : "", XKeysymToString(symbol),
           event.type == KeyPress ? "down" : "up", event.xkey.send_event ? " (sent)" : "");
    fflush(stdout);
  }
}
