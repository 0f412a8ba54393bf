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
 * RI) are only read: a program cannot drive its own inputs. Each change
 * holds a POSIX record lock on the file, which is also what Wine's
 * LockFileEx takes, so a test may update the file from either side.
 *
 * A program polls its lines forty times a second, and a real port answers
 * each poll with one system call. So that the stand-in costs about as much,
 * each state file stays open once found, and a read of the lines is an
 * fstat of the tty and of its file and a pread, without a lock: every writer
 * rewrites the one fixed-length text in place with a single write, so a
 * read that meets a change finds each line's character from before or
 * after it, as a real port's lines change one by one.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <pthread.h>
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

/* Opens the state file of the tty with device number `device`, or returns
 * -1 when it has none (no state folder, no file). */
static int open_state_file(dev_t device) {
  const char* dir = getenv(STANDIN_DIR_VARIABLE);
  if (!dir || !*dir) return -1;
  char path[4096];
  int n = snprintf(path, sizeof path, STANDIN_FILE_FORMAT, dir, major(device), minor(device));
  if (n < 0 || (size_t)n >= sizeof path) return -1;
  return open(path, O_RDWR | O_CLOEXEC);
}

/* The state files found so far, by the device number of their tty; they
 * stay open for the life of the process (each file is the stand-in's for
 * the whole session). */
enum { kKeptStateFiles = 16 };
static struct {
  dev_t device;
  int fd;
} kept_files[kKeptStateFiles];
static int kept_count;
static pthread_mutex_t kept_lock = PTHREAD_MUTEX_INITIALIZER;

/* The state file of the tty behind `fd`, or -1 when it has none (not a
 * character device, no file). `*owned` tells the caller to close it: only
 * when the table of kept files is full. */
static int state_file(int fd, int* owned) {
  *owned = 0;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return -1;
  pthread_mutex_lock(&kept_lock);
  int state = -1;
  for (int i = 0; i < kept_count && state < 0; ++i) {
    if (kept_files[i].device != st.st_rdev) continue;
    /* A removed file is an unplugged adapter (tests remove it so): the
     * kept one is let go, and a file made anew is opened anew. */
    struct stat kept;
    if (fstat(kept_files[i].fd, &kept) == 0 && kept.st_nlink > 0) {
      state = kept_files[i].fd;
      break;
    }
    close(kept_files[i].fd);
    kept_files[i] = kept_files[--kept_count];
    break;
  }
  if (state < 0) {
    state = open_state_file(st.st_rdev);
    if (state >= 0 && kept_count < kKeptStateFiles) {
      kept_files[kept_count].device = st.st_rdev;
      kept_files[kept_count].fd = state;
      ++kept_count;
    } else if (state >= 0) {
      *owned = 1;
    }
  }
  pthread_mutex_unlock(&kept_lock);
  return state;
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
  if (request == TIOCMGET) {
    *(int*)arg = (int)read_bits(state); /* no lock: see the top of this file */
    return 0;
  }
  if (lock_whole_file(state, F_WRLCK) != 0) return -1;
  const unsigned bits = apply_request(read_bits(state), request, (unsigned)*(int*)arg);
  const int result = write_bits(state, bits);
  const int write_errno = errno;
  lock_whole_file(state, F_UNLCK);
  errno = write_errno;
  return result;
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);

  if (is_modem_request(request)) {
    int saved_errno = errno;
    int owned = 0;
    int state = state_file(fd, &owned);
    if (state >= 0) {
      int result = serve(state, request, arg);
      int serve_errno = errno;
      if (owned) close(state);
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
