/*
 * serial-standin: host-side helper of the serial stand-in (see README.md).
 *
 *   serial-standin run [--dir DIR] [--wine] [--preload LIB] --port N... -- COMMAND [ARG...]
 *   serial-standin set FILE LINE=0|1...
 *   serial-standin get FILE
 *
 * "run" creates one pseudo-terminal per port, keeps its master open, writes
 * the port's state file (all lines low), links $WINEPREFIX/dosdevices/comN to
 * the terminal with --wine, runs COMMAND with the preload library and the
 * variables below in its environment, and undoes all of it afterwards. Its
 * exit status is COMMAND's.
 *
 *   LD_PRELOAD               the preload library, ahead of any already there
 *   PELORIN_STANDIN_DIR      the folder of state files
 *   PELORIN_STANDIN_COM<N>   the state file of port N
 *   PELORIN_STANDIN_TTY<N>   the terminal of port N (e.g. /dev/pts/3)
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "standin_file.h"
#include "standin_state.h"

#define MAX_PORTS 16
#define PRELOAD_NAME "libpelorin_serial_standin.so"

struct port {
  int number;
  int master;
  char tty[PATH_MAX];
  char state[PATH_MAX];
  char link[PATH_MAX];     /* the dosdevices link, when made */
  char plug[PATH_MAX];     /* the folder holding the link's hop to the terminal */
  char old_link[PATH_MAX]; /* what it pointed at before, to put back */
};

static pid_t child = -1;

static void forward_signal(int signal_number) {
  if (child > 0) kill(child, signal_number);
}

static int usage(void) {
  fprintf(stderr,
          "usage: serial-standin run [--dir DIR] [--wine] [--preload LIB] --port N... -- "
          "COMMAND [ARG...]\n"
          "       serial-standin set FILE LINE=0|1...   (LINE: DCD DSR CTS RI DTR RTS)\n"
          "       serial-standin get FILE\n");
  return 2;
}

static int command_set(int argc, char** argv) {
  if (argc < 2) return usage();
  unsigned set = 0, clear = 0;
  for (int i = 1; i < argc; ++i) {
    const char* equals = strchr(argv[i], '=');
    unsigned bit = equals ? standin_line_bit(argv[i], (size_t)(equals - argv[i])) : 0;
    if (!bit || (strcmp(equals + 1, "0") != 0 && strcmp(equals + 1, "1") != 0)) {
      fprintf(stderr, "serial-standin: not LINE=0|1: %s\n", argv[i]);
      return 2;
    }
    if (equals[1] == '1')
      set |= bit;
    else
      clear |= bit;
  }
  if (standin_update_file(argv[0], set, clear, NULL) != 0) {
    perror(argv[0]);
    return 1;
  }
  return 0;
}

static int command_get(int argc, char** argv) {
  if (argc != 1) return usage();
  unsigned bits = 0;
  if (standin_update_file(argv[0], 0, 0, &bits) != 0) {
    perror(argv[0]);
    return 1;
  }
  char line[STANDIN_TEXT_LENGTH + 1];
  line[standin_format(bits, line)] = '\0';
  fputs(line, stdout);
  return 0;
}

static int write_new_state_file(const char* path) {
  int fd = open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  char line[STANDIN_TEXT_LENGTH];
  size_t length = standin_format(0, line);
  int ok = write(fd, line, length) == (ssize_t)length;
  /* Tests inside Wine may run as another user of the same machine. */
  fchmod(fd, 0666);
  close(fd);
  return ok ? 0 : -1;
}

static int open_port(struct port* port, const char* dir) {
  port->master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (port->master < 0 || grantpt(port->master) != 0 || unlockpt(port->master) != 0) return -1;
  if (ptsname_r(port->master, port->tty, sizeof port->tty) != 0) return -1;
  struct stat st;
  if (stat(port->tty, &st) != 0) return -1;
  snprintf(port->state, sizeof port->state, STANDIN_FILE_FORMAT, dir, major(st.st_rdev),
           minor(st.st_rdev));
  return write_new_state_file(port->state);
}

/* Removes the plug folder, also where a test left it renamed. */
static void remove_plug(const struct port* port) {
  char path[PATH_MAX + 32];
  for (int away = 0; away < 2; ++away) {
    snprintf(path, sizeof path, "%s%s/tty", port->plug, away ? ".unplugged" : "");
    unlink(path);
    snprintf(path, sizeof path, "%s%s", port->plug, away ? ".unplugged" : "");
    rmdir(path);
  }
}

/* The link reaches the terminal through a folder of its own,
 * <dir>/com<N>-plug/tty: renaming that folder (a plain folder, which a test
 * inside Wine can rename too) takes the port away as an unplugged adapter
 * goes, and renaming it back returns it. */
static int link_wine_port(struct port* port, const char* prefix, const char* dir) {
  char hop[PATH_MAX + 8];
  snprintf(port->plug, sizeof port->plug, "%s/com%d-plug", dir, port->number);
  snprintf(hop, sizeof hop, "%s/tty", port->plug);
  remove_plug(port); /* one left by a run that was killed */
  if (mkdir(port->plug, 0777) != 0 || chmod(port->plug, 0777) != 0) return -1;
  if (symlink(port->tty, hop) != 0) return -1;
  snprintf(port->link, sizeof port->link, "%s/dosdevices/com%d", prefix, port->number);
  ssize_t n = readlink(port->link, port->old_link, sizeof port->old_link - 1);
  port->old_link[n > 0 ? n : 0] = '\0';
  unlink(port->link);
  return symlink(hop, port->link);
}

static void close_port(struct port* port) {
  if (port->plug[0]) remove_plug(port);
  if (port->link[0]) {
    unlink(port->link);
    if (port->old_link[0] && symlink(port->old_link, port->link) != 0)
      fprintf(stderr, "serial-standin: could not restore %s\n", port->link);
  }
  if (port->state[0]) unlink(port->state);
  if (port->master >= 0) close(port->master);
}

/* The preload library beside this program. */
static int default_preload(char* out, size_t size) {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = '\0';
  char* slash = strrchr(self, '/');
  if (!slash) return -1;
  *slash = '\0';
  return snprintf(out, size, "%s/%s", self, PRELOAD_NAME) < (int)size ? 0 : -1;
}

static void export_environment(const struct port* ports, int count, const char* dir,
                               const char* preload) {
  const char* old = getenv("LD_PRELOAD");
  char* value = NULL;
  if (asprintf(&value, "%s%s%s", preload, old && *old ? ":" : "", old ? old : "") >= 0) {
    setenv("LD_PRELOAD", value, 1);
    free(value);
  }
  setenv(STANDIN_DIR_VARIABLE, dir, 1);
  for (int i = 0; i < count; ++i) {
    char name[64];
    snprintf(name, sizeof name, "PELORIN_STANDIN_COM%d", ports[i].number);
    setenv(name, ports[i].state, 1);
    snprintf(name, sizeof name, "PELORIN_STANDIN_TTY%d", ports[i].number);
    setenv(name, ports[i].tty, 1);
    if (ports[i].plug[0]) {
      snprintf(name, sizeof name, "PELORIN_STANDIN_PLUG%d", ports[i].number);
      setenv(name, ports[i].plug, 1);
    }
  }
}

static int run_child(char** argv) {
  struct sigaction forward = {.sa_handler = forward_signal};
  sigemptyset(&forward.sa_mask);
  sigaction(SIGINT, &forward, NULL);
  sigaction(SIGTERM, &forward, NULL);
  sigaction(SIGHUP, &forward, NULL);
  child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    execvp(argv[0], argv);
    perror(argv[0]);
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return 1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

static int command_run(int argc, char** argv) {
  struct port ports[MAX_PORTS];
  int count = 0, wine = 0, i = 0;
  const char* dir = getenv(STANDIN_DIR_VARIABLE);
  char preload[PATH_MAX] = "";
  for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    if (strcmp(argv[i], "--wine") == 0) {
      wine = 1;
    } else if (strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
      dir = argv[++i];
    } else if (strcmp(argv[i], "--preload") == 0 && i + 1 < argc) {
      snprintf(preload, sizeof preload, "%s", argv[++i]);
    } else if (strcmp(argv[i], "--port") == 0 && i + 1 < argc && count < MAX_PORTS) {
      memset(&ports[count], 0, sizeof ports[count]);
      ports[count].master = -1;
      ports[count].number = atoi(argv[++i]);
      if (ports[count].number < 1) return usage();
      ++count;
    } else {
      return usage();
    }
  }
  if (i + 1 >= argc) return usage();
  char** command = argv + i + 1;

  const char* prefix = getenv("WINEPREFIX");
  if (wine && (!prefix || !*prefix)) {
    fprintf(stderr, "serial-standin: --wine needs WINEPREFIX\n");
    return 2;
  }
  if (!preload[0] && default_preload(preload, sizeof preload) != 0) return 1;
  char made_dir[] = "/tmp/pelorin-standin.XXXXXX";
  int own_dir = !dir || !*dir;
  if (own_dir) {
    if (!mkdtemp(made_dir)) return 1;
    chmod(made_dir, 0777);
    dir = made_dir;
  }

  int status = 1, ready = 1;
  for (int p = 0; p < count && ready; ++p) {
    if (open_port(&ports[p], dir) != 0 || (wine && link_wine_port(&ports[p], prefix, dir) != 0)) {
      fprintf(stderr, "serial-standin: cannot set up port %d: %s\n", ports[p].number,
              strerror(errno));
      ready = 0;
    }
  }
  if (ready) {
    export_environment(ports, count, dir, preload);
    status = run_child(command);
  }
  for (int p = 0; p < count; ++p) close_port(&ports[p]);
  if (own_dir) rmdir(made_dir);
  return status;
}

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  if (strcmp(argv[1], "run") == 0) return command_run(argc - 2, argv + 2);
  if (strcmp(argv[1], "set") == 0) return command_set(argc - 2, argv + 2);
  if (strcmp(argv[1], "get") == 0) return command_get(argc - 2, argv + 2);
  return usage();
}
