/*
 * The serial stand-in's state file: the modem lines of one pseudo-terminal
 * as one line of text, e.g.
 *
 *     DCD=0 DSR=0 CTS=1 RI=0 DTR=1 RTS=0
 *
 * DCD, DSR, CTS and RI are the inputs (set by a test), DTR and RTS the
 * outputs (set by the program under test through its ioctls). Readers accept
 * the names in any order, separated by blanks or line ends; a name that is
 * missing reads as 0, an unknown word is ignored. Writers always write the
 * full line above, whose length never changes, so the file is rewritten in
 * place and a reader never sees it empty.
 *
 * Plain C, no system headers beyond <stddef.h>: included by the LD_PRELOAD
 * library, the host helper, and test code built for Linux and Windows.
 */
#ifndef PELORIN_STANDIN_STATE_H
#define PELORIN_STANDIN_STATE_H

#include <stddef.h>

/* Line bits, with the values of Linux's TIOCM_* constants. */
enum {
  STANDIN_DTR = 0x002,
  STANDIN_RTS = 0x004,
  STANDIN_CTS = 0x020,
  STANDIN_DCD = 0x040, /* TIOCM_CAR */
  STANDIN_RI = 0x080,  /* TIOCM_RNG */
  STANDIN_DSR = 0x100,
  STANDIN_INPUTS = STANDIN_DCD | STANDIN_DSR | STANDIN_CTS | STANDIN_RI,
  STANDIN_OUTPUTS = STANDIN_DTR | STANDIN_RTS
};

/* Length of the formatted line, including its line end but not a NUL. */
#define STANDIN_TEXT_LENGTH 35

/* The environment: the folder of state files (read by the preload library
 * in every ioctl) and, per port, what the helper's "run" exports. */
#define STANDIN_DIR_VARIABLE "PELORIN_STANDIN_DIR"

/* A device's state file in that folder, by the device number of the tty:
 * printf format with the folder, major and minor. */
#define STANDIN_FILE_FORMAT "%s/tty-%u-%u"

struct standin_line_name {
  const char* name;
  unsigned bit;
};

static const struct standin_line_name standin_lines[6] = {
    {"DCD", STANDIN_DCD}, {"DSR", STANDIN_DSR}, {"CTS", STANDIN_CTS},
    {"RI", STANDIN_RI},   {"DTR", STANDIN_DTR}, {"RTS", STANDIN_RTS}};

/* The bit of line `name` (first `length` characters), or 0 for no line. */
static inline unsigned standin_line_bit(const char* name, size_t length) {
  for (size_t i = 0; i < 6; ++i) {
    const char* known = standin_lines[i].name;
    size_t k = 0;
    while (k < length && known[k] != '\0' && known[k] == name[k]) ++k;
    if (k == length && known[k] == '\0') return standin_lines[i].bit;
  }
  return 0;
}

static inline int standin_is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/* The bits asserted in `text` (not NUL-terminated, `length` bytes): every
 * word NAME=1 asserts that line. */
static inline unsigned standin_parse(const char* text, size_t length) {
  unsigned bits = 0;
  size_t i = 0;
  while (i < length) {
    while (i < length && standin_is_blank(text[i])) ++i;
    size_t start = i;
    while (i < length && !standin_is_blank(text[i]) && text[i] != '=') ++i;
    size_t name_length = i - start;
    int asserted = i + 1 < length && text[i] == '=' && text[i + 1] == '1' &&
                   (i + 2 == length || standin_is_blank(text[i + 2]));
    if (asserted) bits |= standin_line_bit(text + start, name_length);
    while (i < length && !standin_is_blank(text[i])) ++i;
  }
  return bits;
}

/* Writes the full line for `bits` into `out` (STANDIN_TEXT_LENGTH bytes, no
 * NUL) and returns its length. */
static inline size_t standin_format(unsigned bits, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < 6; ++i) {
    const char* name = standin_lines[i].name;
    if (i > 0) out[n++] = ' ';
    while (*name) out[n++] = *name++;
    out[n++] = '=';
    out[n++] = (bits & standin_lines[i].bit) ? '1' : '0';
  }
  out[n++] = '\n';
  return n;
}

#endif /* PELORIN_STANDIN_STATE_H */
