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
 * RI) are only read: a program cannot drive its own inputs. Each write
 * holds a POSIX record lock on the file, which is also what Wine's
 * LockFileEx takes, so a test may update the file from either side.
 *
 * Reads (TIOCMGET, every poll cycle of the program under test) cost what a
 * real port's costs as nearly as a file allows: the state file is mapped
 * once, and each read is an fstat of the terminal and a stat of the file
 * (which tells a removed or replaced file) instead of an open, a lock, a
 * read and a close. The read takes no lock: writers rewrite the line in
 * place at its fixed length, so a read that meets a write sees each line's
 * digit either before or after it, both of them states the file had. A
 * writer must never shorten a file in place (standin_state.h): a mapped
 * page wholly past the end of its file cannot be read.
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
#include <sys/mman.h>
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

/* Writes the state file's path for the tty behind `fd` into `path`; 0 when
 * it has none (not a character device, no state folder). */
static int state_file_path(int fd, char* path, size_t size) {
  const char* dir = getenv(STANDIN_DIR_VARIABLE);
  struct stat st;
  if (!dir || !*dir || fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
  int n = snprintf(path, size, STANDIN_FILE_FORMAT, dir, major(st.st_rdev), minor(st.st_rdev));
  return n > 0 && (size_t)n < size;
}

/* Opens the state file of the tty behind `fd`, or returns -1 when it has
 * none (not a character device, no state folder, no file). */
static int open_state_file(int fd) {
  char path[4096];
  if (!state_file_path(fd, path, sizeof path)) return -1;
  return open(path, O_RDWR | O_CLOEXEC);
}

/* The state files mapped for reading, by path; a file removed or replaced
 * (another inode at the path) is mapped again, or not at all. */
enum { MAPPED_FILES = 8, MAPPED_BYTES = 256 };
struct mapped_file {
  char path[4096];
  dev_t dev;
  ino_t ino;
  const char* text; /* MAPPED_BYTES, NULL for an unused entry */
};
static struct mapped_file mapped[MAPPED_FILES];
static pthread_mutex_t mapped_lock = PTHREAD_MUTEX_INITIALIZER;

static void unmap_entry(struct mapped_file* entry) {
  if (entry->text) munmap((void*)entry->text, MAPPED_BYTES);
  entry->text = NULL;
}

/* The entry that maps the file now at `path` (whose stat is `st`), mapping
 * it into a free or the oldest entry when none does. NULL when it cannot be
 * mapped. Called under mapped_lock. */
static struct mapped_file* mapped_entry(const char* path, const struct stat* st) {
  static unsigned next_victim;
  struct mapped_file* free_entry = NULL;
  for (int i = 0; i < MAPPED_FILES; ++i) {
    struct mapped_file* entry = &mapped[i];
    if (!entry->text) {
      if (!free_entry) free_entry = entry;
      continue;
    }
    if (strcmp(entry->path, path) != 0) continue;
    if (entry->dev == st->st_dev && entry->ino == st->st_ino) return entry;
    unmap_entry(entry); /* another file at the same path */
    if (!free_entry) free_entry = entry;
  }
  if (!free_entry) {
    free_entry = &mapped[next_victim++ % MAPPED_FILES];
    unmap_entry(free_entry);
  }
  if (strlen(path) >= sizeof free_entry->path) return NULL;
  int state = open(path, O_RDONLY | O_CLOEXEC);
  if (state < 0) return NULL;
  struct stat opened;
  void* text = MAP_FAILED;
  /* The file opened must be the one stat saw, or the entry would keep
   * the identity of one file and the contents of another. */
  if (fstat(state, &opened) == 0 && opened.st_dev == st->st_dev && opened.st_ino == st->st_ino)
    text = mmap(NULL, MAPPED_BYTES, PROT_READ, MAP_SHARED, state, 0);
  close(state);
  if (text == MAP_FAILED) return NULL;
  strcpy(free_entry->path, path);
  free_entry->dev = st->st_dev;
  free_entry->ino = st->st_ino;
  free_entry->text = text;
  return free_entry;
}

/* TIOCMGET from the mapped state file of the tty behind `fd`: 1 with the
 * bits in *bits, 0 when the tty has no state file (or it cannot be mapped;
 * the caller then takes the ordinary way). */
static int read_mapped_bits(int fd, unsigned* bits) {
  char path[4096];
  struct stat st;
  if (!state_file_path(fd, path, sizeof path) || stat(path, &st) != 0 || !S_ISREG(st.st_mode))
    return 0;
  /* Bytes past the end of the file read as zeros within the mapped page,
   * but not past it: a longer file is read the ordinary way. */
  if (st.st_size <= 0 || st.st_size > MAPPED_BYTES) return 0;
  pthread_mutex_lock(&mapped_lock);
  struct mapped_file* entry = mapped_entry(path, &st);
  if (entry) {
    char text[MAPPED_BYTES];
    memcpy(text, entry->text, (size_t)st.st_size);
    *bits = standin_parse(text, (size_t)st.st_size);
  }
  pthread_mutex_unlock(&mapped_lock);
  return entry != NULL;
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
    unsigned bits = 0;
    if (request == TIOCMGET && arg && read_mapped_bits(fd, &bits)) {
      *(int*)arg = (int)bits;
      errno = saved_errno;
      return 0;
    }
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
