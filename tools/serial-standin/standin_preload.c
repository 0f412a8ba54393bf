/*
 * LD_PRELOAD library that gives pseudo-terminals modem lines.
 *
 * Linux pseudo-terminals answer the modem-control ioctls with ENOTTY, so a
 * program that polls CTS or switches RTS cannot run on one. This library
 * wraps ioctl(): for a tty whose state file exists in $PELORIN_STANDIN_DIR
 * (see standin_state.h) it answers TIOCMGET, TIOCMSET, TIOCMBIS, TIOCMBIC
 * and TIOCGICOUNT from that file; every other request, and every other file,
 * goes to the real ioctl unchanged. Wine's serial driver reaches the lines
 * only through these (GetCommModemStatus is TIOCMGET, EscapeCommFunction is
 * TIOCMGET followed by TIOCMSET), and detects the tty itself with TCGETS,
 * which a pseudo-terminal answers natively.
 *
 * The outputs (DTR, RTS) are written to the file, the inputs (DCD, DSR, CTS,
 * RI) are only read: a program cannot drive its own inputs. Each access
 * holds a POSIX record lock on the file, which is also what Wine's
 * LockFileEx takes, so a test may update the file from either side.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "standin_state.h"

typedef int (*ioctl_function)(int, unsigned long, ...);

/* The next ioctl in the lookup order (libc's, or a sanitizer's wrapper).
 * Threads may race to look it up; they all store the same value. */
static ioctl_function real_ioctl(void) {
  static ioctl_function real;
  ioctl_function found = __atomic_load_n(&real, __ATOMIC_ACQUIRE);
  if (!found) {
    found = (ioctl_function)dlsym(RTLD_NEXT, "ioctl");
    __atomic_store_n(&real, found, __ATOMIC_RELEASE);
  }
  return found;
}

static int is_modem_request(unsigned long request) {
  return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS ||
         request == TIOCMBIC || request == TIOCGICOUNT;
}

/* Opens the state file of the tty behind `fd`, or returns -1 when it has
 * none (not a character device, no state folder, no file). */
static int open_state_file(int fd) {
  const char* dir = getenv(STANDIN_DIR_VARIABLE);
  struct stat st;
  if (!dir || !*dir || fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return -1;
  char path[4096];
  int n = snprintf(path, sizeof path, STANDIN_FILE_FORMAT, dir, major(st.st_rdev),
                   minor(st.st_rdev));
  if (n < 0 || (size_t)n >= sizeof path) return -1;
  return open(path, O_RDWR | O_CLOEXEC);
}

static int lock_whole_file(int state, short type) {
  struct flock lock;
  memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  while (fcntl(state, F_SETLKW, &lock) != 0) {
    if (errno != EINTR) return -1;
  }
  return 0;
}

static unsigned read_bits(int state) {
  char text[256];
  ssize_t n = pread(state, text, sizeof text, 0);
  return n > 0 ? standin_parse(text, (size_t)n) : 0;
}

static int write_bits(int state, unsigned bits) {
  char text[STANDIN_TEXT_LENGTH];
  size_t length = standin_format(bits, text);
  if (pwrite(state, text, length, 0) != (ssize_t)length) return -1;
  return ftruncate(state, (off_t)length);
}

/* The new output bits after `request` with argument `value`. */
static unsigned apply_request(unsigned bits, unsigned long request, unsigned value) {
  unsigned outputs = value & STANDIN_OUTPUTS;
  if (request == TIOCMSET) return (bits & ~STANDIN_OUTPUTS) | outputs;
  if (request == TIOCMBIS) return bits | outputs;
  return bits & ~outputs; /* TIOCMBIC */
}

/* Serves a modem request from the state file. */
static int serve(int state, unsigned long request, void* arg) {
  if (!arg) {
    errno = EFAULT;
    return -1;
  }
  if (request == TIOCGICOUNT) {
    /* No interrupts ever happen on a stand-in line. */
    memset(arg, 0, sizeof(struct serial_icounter_struct));
    return 0;
  }
  const int writes = request != TIOCMGET;
  if (lock_whole_file(state, writes ? F_WRLCK : F_RDLCK) != 0) return -1;
  unsigned bits = read_bits(state);
  int result = 0;
  if (writes) {
    bits = apply_request(bits, request, (unsigned)*(int*)arg);
    result = write_bits(state, bits);
  } else {
    *(int*)arg = (int)bits;
  }
  return result; /* closing the file releases the lock */
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);

  if (is_modem_request(request)) {
    int saved_errno = errno;
    int state = open_state_file(fd);
    if (state >= 0) {
      int result = serve(state, request, arg);
      int serve_errno = errno;
      close(state);
      errno = result == 0 ? saved_errno : serve_errno;
      return result;
    }
    errno = saved_errno;
  }
  ioctl_function real = real_ioctl();
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  return real(fd, request, arg);
}
