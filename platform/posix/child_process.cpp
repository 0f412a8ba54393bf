#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/system_error.h"
#include "platform/posix/unique_fd.h"

extern char** environ;

namespace pelorin::posix {
namespace {

// posix_spawn's attributes and file actions, destroyed with the object.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_init(&actions_);
    sigset_t none;
    sigemptyset(&none);
    sigset_t every;
    sigfillset(&every);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setsigdefault(&attributes_, &every);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t* Actions() { return &actions_; }

  // Returns the error number, 0 on success.
  int Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (const std::string& word : argv) pointers.push_back(const_cast<char*>(word.c_str()));
    pointers.push_back(nullptr);
    return posix_spawnp(&pid, pointers[0], &actions_, &attributes_, pointers.data(), environ);
  }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

}  // namespace

OsStatus StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return OsError{ENOENT, "posix_spawn", "", "no program named"};
  SpawnSetup setup;
  pid_t pid = 0;
  if (const int code = setup.Spawn(argv, pid); code != 0) {
    return SystemError(code, "posix_spawn", argv[0]);
  }
  return {};
}

std::optional<std::string> OutputOf(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  UniqueFd read_end(ends[0]);
  UniqueFd write_end(ends[1]);
  SpawnSetup setup;
  posix_spawn_file_actions_addopen(setup.Actions(), 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(setup.Actions(), write_end.Get(), 1);
  posix_spawn_file_actions_addopen(setup.Actions(), 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (setup.Spawn(argv, pid) != 0) return std::nullopt;
  write_end.Reset();
  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(read_end.Get(), buffer, sizeof buffer);
    if (got > 0) {
      output.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace pelorin::posix
