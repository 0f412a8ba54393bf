/* Reading and switching the lines of a stand-in state file from Linux, under
 * the file's lock: shared by the stand-in's helper and the button box. POSIX
 * only (the Windows side goes through tests/support/standin_lines). */
#ifndef PELORIN_STANDIN_FILE_H
#define PELORIN_STANDIN_FILE_H

#include <errno.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include "standin_state.h"

/* Reads a state file under its lock; with `set` or `clear`, also switches
 * those lines and writes it back. */
static inline int standin_update_file(const char* path, unsigned set, unsigned clear,
                                      unsigned* bits_out) {
  int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  struct flock lock = {.l_type = (set | clear) ? F_WRLCK : F_RDLCK, .l_whence = SEEK_SET};
  while (fcntl(fd, F_SETLKW, &lock) != 0) {
    if (errno != EINTR) {
      close(fd);
      return -1;
    }
  }
  char text[256];
  ssize_t n = pread(fd, text, sizeof text, 0);
  unsigned bits = n > 0 ? standin_parse(text, (size_t)n) : 0;
  int result = 0;
  if (set | clear) {
    bits = (bits | set) & ~clear;
    char line[STANDIN_TEXT_LENGTH];
    size_t length = standin_format(bits, line);
    if (pwrite(fd, line, length, 0) != (ssize_t)length || ftruncate(fd, (off_t)length) != 0)
      result = -1;
  }
  close(fd);
  if (bits_out) *bits_out = bits;
  return result;
}

#endif
