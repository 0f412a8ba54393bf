/*
 * A tray host that measures: it takes the X screen's system tray selection
 * (_NET_SYSTEM_TRAY_S<n>, the XEmbed tray protocol) and times how long a
 * program takes from its start to asking the tray to dock its icon.
 *
 *   tray_probe startup RUNS -- CMD...   start to the dock request, RUNS times;
 *                                       each copy then gets SIGTERM
 *   tray_probe serve SECONDS            only holds the tray (for idle figures)
 *
 * Results go to standard output as "result <name> <value>" lines, times in
 * milliseconds (the same lines as the other probes). The icon is never
 * embedded: the request is the moment the program shows it.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

enum { kDockRequest = 0, kMaxRuns = 1000 };

static double NowMs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec * 1000.0 + (double)now.tv_nsec / 1e6;
}

/* Takes the tray selection of the default screen and tells the clients that
 * a tray is there (the MANAGER message they wait for). */
static int TakeTray(Display* display, Atom* opcode) {
  char name[64];
  snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", DefaultScreen(display));
  const Atom selection = XInternAtom(display, name, False);
  const Window root = DefaultRootWindow(display);
  const Window owner = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, selection, owner, CurrentTime);
  if (XGetSelectionOwner(display, selection) != owner) return 0;
  XClientMessageEvent manager = {0};
  manager.type = ClientMessage;
  manager.window = root;
  manager.message_type = XInternAtom(display, "MANAGER", False);
  manager.format = 32;
  manager.data.l[0] = CurrentTime;
  manager.data.l[1] = (long)selection;
  manager.data.l[2] = (long)owner;
  XSendEvent(display, root, False, StructureNotifyMask, (XEvent*)&manager);
  XFlush(display);
  *opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
  return 1;
}

/* Waits until a dock request arrives, `limit_ms` pass or the child `pid`
 * (when positive) ends; 1 on a request. */
static int WaitForDock(Display* display, Atom opcode, double limit_ms, pid_t pid) {
  const double until = NowMs() + limit_ms;
  struct pollfd x = {ConnectionNumber(display), POLLIN, 0};
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && event.xclient.message_type == opcode &&
          event.xclient.data.l[1] == kDockRequest) {
        return 1;
      }
    }
    const double left = until - NowMs();
    if (left <= 0) return 0;
    if (pid > 0 && waitpid(pid, NULL, WNOHANG) == pid) return 0;
    poll(&x, 1, left < 50 ? (int)left + 1 : 50);
  }
}

static int CompareDoubles(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

static int Startup(Display* display, Atom opcode, int runs, char** command) {
  static double samples[kMaxRuns];
  int count = 0;
  for (int i = 0; i < runs && i < kMaxRuns; ++i) {
    pid_t pid;
    const double started = NowMs();
    if (posix_spawnp(&pid, command[0], NULL, NULL, command, environ) != 0) {
      perror("tray_probe: spawn");
      return 1;
    }
    if (WaitForDock(display, opcode, 10000.0, pid)) {
      samples[count++] = NowMs() - started;
    } else {
      fprintf(stderr, "tray_probe: no dock request (the program ended or took over 10 s)\n");
    }
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
  }
  if (count == 0) return 1;
  qsort(samples, (size_t)count, sizeof samples[0], CompareDoubles);
  printf("result linux_desktop_startup_count %d\n", count);
  printf("result linux_desktop_startup_median %.2f\n", samples[count / 2]);
  printf("result linux_desktop_startup_max %.2f\n", samples[count - 1]);
  return 0;
}

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? atoi(argv[2]) : 0;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "tray_probe: no X display\n");
    return 1;
  }
  Atom opcode;
  if (!TakeTray(display, &opcode)) {
    fprintf(stderr, "tray_probe: another tray host holds the tray\n");
    return 1;
  }
  if (strcmp(mode, "startup") == 0 && count > 0 && argc > 4 && strcmp(argv[3], "--") == 0) {
    return Startup(display, opcode, count, argv + 4);
  }
  if (strcmp(mode, "serve") == 0 && count > 0) {
    const double until = NowMs() + count * 1000.0;
    while (NowMs() < until) WaitForDock(display, opcode, until - NowMs(), 0);
    return 0;
  }
  fprintf(stderr, "usage: tray_probe startup RUNS -- CMD... | serve SECONDS\n");
  return 2;
}
