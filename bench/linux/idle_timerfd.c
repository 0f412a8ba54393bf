/*
 * The baseline of the Linux measurements: a program that only wakes every
 * 25 ms from a periodic timerfd and does nothing. Once its timer is set it
 * writes one byte to standard output, so that a probe can time its start-up.
 */
#include <stdint.h>
#include <stdio.h>
#include <sys/timerfd.h>
#include <unistd.h>

int main(void) {
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
  }
}
