/*
 * button-box: a virtual button box for one serial stand-in port, in a
 * terminal. Four keys press and release the buttons wired to DCD, DSR, CTS
 * and RI; the box shows the four lines and the outputs the program under
 * test drives (the LED on RTS, and DTR), redrawn in place with plain ANSI
 * sequences.
 *
 *   button-box [--title TEXT] [--label TEXT]... [--feed FILE [--feed-title TEXT]]
 *              STATE_FILE
 *
 * STATE_FILE is the port's stand-in state file ($PELORIN_STANDIN_COM<N>).
 * Up to four --label options name what buttons 1 to 4 do. With --feed, the
 * last lines of FILE (a log that another program appends to, such as the
 * stand-in player's words) show under the box, so that one terminal shows
 * cause and effect without the two drawings getting in each other's way. A terminal does
 * not report key releases, so a key works like a latching button: the
 * first press holds the button down, the next releases it. Space releases
 * every button, q (or Ctrl-C, or the end of input) quits and releases them.
 *
 * The box ends by itself when the state file goes away (the session that
 * owned the port has ended).
 */
#define _POSIX_C_SOURCE 200809L
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "standin_file.h"
#include "standin_state.h"

enum { kButtons = 4, kRedrawMs = 50, kFeedLines = 10, kFeedWidth = 100 };

/* Buttons 1..4 in the default line assignment of a port. */
static const struct standin_line_name button_lines[kButtons] = {
    {"DCD", STANDIN_DCD}, {"DSR", STANDIN_DSR}, {"CTS", STANDIN_CTS}, {"RI", STANDIN_RI}};

struct box {
  const char* state_file;
  const char* title;
  const char* labels[kButtons];
  const char* feed_file;
  const char* feed_title;
  char feed[kFeedLines][kFeedWidth]; /* the last lines of the feed, oldest first */
  off_t feed_size;                   /* size of the feed when it was last read */
  int drawn_lines;                   /* lines of the last drawing, to move back over them */
  unsigned shown_bits;
};

static struct termios saved_terminal;
static int terminal_saved = 0;
static volatile sig_atomic_t quit_requested = 0;

static void on_signal(int signal_number) {
  (void)signal_number;
  quit_requested = 1;
}

/* Keys arrive one at a time and unechoed; output keeps its line ends. */
static void enter_key_mode(void) {
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return;
  struct termios raw = saved_terminal;
  raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) terminal_saved = 1;
}

static void leave_key_mode(void) {
  if (terminal_saved) tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
  terminal_saved = 0;
}

/* Keeps the last kFeedLines lines of the feed file; returns 1 when they
 * changed. Only the file's tail is read: the feed grows for as long as the
 * box runs. */
static int read_feed(struct box* box) {
  struct stat info;
  if (!box->feed_file || stat(box->feed_file, &info) != 0 || info.st_size == box->feed_size)
    return 0;
  box->feed_size = info.st_size;
  int fd = open(box->feed_file, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char tail[kFeedLines * kFeedWidth];
  const off_t start = info.st_size > (off_t)sizeof tail ? info.st_size - (off_t)sizeof tail : 0;
  const ssize_t n = pread(fd, tail, sizeof tail, start);
  close(fd);
  if (n <= 0) return 0;
  memset(box->feed, 0, sizeof box->feed);
  /* Walk back over whole lines, newest first, from the last line end. */
  ssize_t end = n;
  while (end > 0 && tail[end - 1] == '\n') --end;
  for (int row = kFeedLines - 1; row >= 0 && end > 0; --row) {
    ssize_t begin = end;
    while (begin > 0 && tail[begin - 1] != '\n') --begin;
    if (begin == 0 && start > 0) break; /* a cut-off first line is not shown */
    const size_t length =
        (size_t)(end - begin) < kFeedWidth - 1 ? (size_t)(end - begin) : kFeedWidth - 1;
    memcpy(box->feed[row], tail + begin, length);
    for (size_t i = 0; i < length; ++i)
      if ((unsigned char)box->feed[row][i] < ' ') box->feed[row][i] = ' ';
    end = begin > 0 ? begin - 1 : 0;
  }
  return 1;
}

/* One line of the drawing, over whatever the line held before. */
__attribute__((format(printf, 2, 3))) static void draw_line(struct box* box, const char* format,
                                                            ...) {
  va_list args;
  va_start(args, format);
  fputs("\r\033[2K", stdout);
  vprintf(format, args);
  fputs("\n", stdout);
  va_end(args);
  box->drawn_lines++;
}

static void draw(struct box* box, unsigned bits) {
  if (box->drawn_lines > 0) printf("\033[%dA", box->drawn_lines);
  box->drawn_lines = 0;
  draw_line(box, "\033[1m%s\033[0m", box->title);
  draw_line(box, "%s", "");
  for (int i = 0; i < kButtons; ++i) {
    const int down = (bits & button_lines[i].bit) != 0;
    draw_line(box, "  key %d  %-3s  %s  %s", i + 1, button_lines[i].name,
              down ? "\033[7m[ DOWN ]\033[0m" : "[  up  ]", box->labels[i] ? box->labels[i] : "");
  }
  draw_line(box, "%s", "");
  const int led = (bits & STANDIN_RTS) != 0;
  draw_line(box, "  LED on RTS  %s     DTR %s", led ? "\033[1;31m(*) on \033[0m" : "( ) off",
            (bits & STANDIN_DTR) ? "on " : "off");
  draw_line(box, "%s", "");
  draw_line(box, "  keys 1-4 press/release a button, space releases all, q quits");
  if (box->feed_file) {
    draw_line(box, "%s", "");
    draw_line(box, "\033[1m%s\033[0m", box->feed_title);
    for (int row = 0; row < kFeedLines; ++row) draw_line(box, "  %s", box->feed[row]);
  }
  fflush(stdout);
  box->shown_bits = bits;
}

/* What a key does to the inputs; returns 0 to quit. */
static int handle_key(const struct box* box, char key, unsigned current) {
  unsigned set = 0, clear = 0, bits = 0;
  if (key == 'q' || key == 'Q' || key == 3 /* Ctrl-C */ || key == 4 /* Ctrl-D */) return 0;
  if (key == ' ') clear = STANDIN_INPUTS;
  if (key >= '1' && key < '1' + kButtons) {
    const unsigned bit = button_lines[key - '1'].bit;
    if (current & bit)
      clear = bit;
    else
      set = bit;
  }
  if (set | clear) standin_update_file(box->state_file, set, clear, &bits);
  return 1;
}

static int usage(void) {
  fprintf(stderr,
          "usage: button-box [--title TEXT] [--label TEXT]... [--feed FILE [--feed-title TEXT]]"
          " STATE_FILE\n");
  return 2;
}

static int parse_arguments(int argc, char** argv, struct box* box) {
  int labels = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--title") == 0 && i + 1 < argc) {
      box->title = argv[++i];
    } else if (strcmp(argv[i], "--feed") == 0 && i + 1 < argc) {
      box->feed_file = argv[++i];
    } else if (strcmp(argv[i], "--feed-title") == 0 && i + 1 < argc) {
      box->feed_title = argv[++i];
    } else if (strcmp(argv[i], "--label") == 0 && i + 1 < argc) {
      if (labels < kButtons) box->labels[labels++] = argv[i + 1];
      ++i;
    } else if (argv[i][0] == '-' || box->state_file) {
      return 0;
    } else {
      box->state_file = argv[i];
    }
  }
  return box->state_file != NULL;
}

static void run(struct box* box) {
  unsigned bits = 0;
  if (standin_update_file(box->state_file, 0, 0, &bits) != 0) {
    fprintf(stderr, "button-box: cannot read %s\n", box->state_file);
    return;
  }
  read_feed(box);
  draw(box, bits);
  struct pollfd input = {.fd = STDIN_FILENO, .events = POLLIN};
  while (!quit_requested) {
    if (poll(&input, 1, kRedrawMs) > 0) {
      char key;
      const ssize_t n = read(STDIN_FILENO, &key, 1);
      if (n <= 0 || !handle_key(box, key, bits)) break;
    }
    if (standin_update_file(box->state_file, 0, 0, &bits) != 0) {
      printf("\nThe port has gone away: the session has ended.\n");
      return;
    }
    const int feed_changed = read_feed(box);
    if (feed_changed || bits != box->shown_bits) draw(box, bits);
  }
  /* No button stays held down behind a closed box. */
  standin_update_file(box->state_file, 0, STANDIN_INPUTS, &bits);
}

int main(int argc, char** argv) {
  struct box box = {.title = "Pelorin button box", .feed_title = "Received:"};
  if (!parse_arguments(argc, argv, &box)) return usage();
  struct sigaction action = {.sa_handler = on_signal};
  sigaction(SIGINT, &action, NULL);
  sigaction(SIGTERM, &action, NULL);
  sigaction(SIGHUP, &action, NULL);
  enter_key_mode();
  fputs("\033[?25l", stdout); /* no blinking cursor over the drawing */
  run(&box);
  fputs("\033[?25h", stdout);
  fflush(stdout);
  leave_key_mode();
  return 0;
}
