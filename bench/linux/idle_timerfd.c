/*
 * The baseline of the Linux measurements: a program that only wakes every
 * 25 ms from a periodic timerfd and does nothing. Once its timer is set it
 * writes one byte to standard output, so that a probe can time its start-up.
 *
 *   idle_timerfd                  the bare timer
 *   idle_timerfd --lines DEVICE   the same, and one read of DEVICE's modem
 *                                 lines (TIOCMGET) on every tick
 *
 * The second form is the least a program that polls a port can cost: on the
 * serial stand-in it pays the stand-in's line read just as pelorin does, so
 * the two baselines together tell that part apart from the program's own.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

/* Opens the port whose lines are read every tick and reads them once, so that
 * a device without modem lines (a pseudo-terminal outside the stand-in) is
 * refused here rather than measured as a cheaper failing call. Returns the
 * descriptor, -2 when the arguments ask for no port, or -1 after a message. */
static int open_lines_device(int argc, char** argv) {
  if (argc == 1) return -2;
  if (argc != 3 || strcmp(argv[1], "--lines") != 0) {
    fprintf(stderr, "usage: idle_timerfd [--lines DEVICE]\n");
    return -1;
  }
  int device = open(argv[2], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (device < 0) {
    fprintf(stderr, "idle_timerfd: cannot open %s: %s\n", argv[2], strerror(errno));
    return -1;
  }
  int lines;
  if (ioctl(device, TIOCMGET, &lines) != 0) {
    fprintf(stderr, "idle_timerfd: cannot read the lines of %s: %s\n", argv[2], strerror(errno));
    close(device);
    return -1;
  }
  return device;
}

int main(int argc, char** argv) {
  int device = open_lines_device(argc, argv);
  if (device == -1) return 1;
  int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  if (timer < 0) {
    perror("timerfd_create");
    return 1;
  }
  struct itimerspec period = {{0, 25000000}, {0, 25000000}};
  if (timerfd_settime(timer, 0, &period, NULL) != 0) {
    perror("timerfd_settime");
    return 1;
  }
  (void)!write(STDOUT_FILENO, "t", 1);
  for (;;) {
    uint64_t expirations;
    if (read(timer, &expirations, sizeof expirations) != (ssize_t)sizeof expirations) return 1;
    if (device >= 0) {
      int lines;
      /* The result is not used: the read itself is what is measured. */
      (void)ioctl(device, TIOCMGET, &lines);
    }
  }
}
