#include "platform/linux/spawn_shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <utility>

#include "platform/posix/system_error.h"
#include "platform/trace.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): spawn needs it

namespace pelorin::linux_os {
namespace {

constexpr std::string_view kSpawn = "posix_spawn";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters a backslash still escapes inside double quotes.
bool EscapableInDoubleQuotes(char c) {
  return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n';
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Whether `file` starts as a program; a relative path counts from the
// folder the child starts in.
bool IsProgram(const std::string& file, const std::string& directory) {
  if (file.empty()) return false;
  if (file.find('/') == std::string::npos) return FoundOnPath(file);
  if (file.front() != '/' && !directory.empty()) return IsExecutableFile(directory + "/" + file);
  return IsExecutableFile(file);
}

std::string CommandText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const auto& argument : arguments) text += (text.empty() ? "" : " ") + argument;
  return text;
}

// The attributes and file actions of one spawn, released at the end of the
// scope.
class SpawnSetup {
 public:
  SpawnSetup() {
    ok_ = ::posix_spawnattr_init(&attributes_) == 0;
    ok_ = ::posix_spawn_file_actions_init(&actions_) == 0 && ok_;
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // Fills in what every child gets; 0 or an error number.
  int Prepare(const std::string& directory) {
    if (!ok_) return ENOMEM;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int r = ::posix_spawnattr_setsigmask(&attributes_, &none);
    if (r == 0) r = ::posix_spawnattr_setsigdefault(&attributes_, &all);
    if (r == 0) {
      r = ::posix_spawnattr_setflags(
          &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    if (r == 0) r = ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    // Descriptors a library opened without close-on-exec (or one this
    // program forgot) must not reach the child either.
    if (r == 0) r = ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
    if (r == 0 && !directory.empty()) {
      r = ::posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str());
    }
    return r;
  }

  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_{};
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

}  // namespace

bool FoundOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");  // NOLINT(concurrency-mt-unsafe)
  const std::string folders = path != nullptr ? path : "/bin:/usr/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    // An empty entry is the current folder.
    const std::string folder = end == start ? "." : folders.substr(start, end - start);
    std::string candidate = folder;
    candidate += '/';
    candidate += name;
    if (IsExecutableFile(candidate)) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool has_next = i + 1 < text.size();
    if (quote == '\'') {
      if (c == '\'')
        quote = 0;
      else
        word += c;
    } else if (quote == '"') {
      if (c == '"') {
        quote = 0;
      } else if (c == '\\' && has_next && EscapableInDoubleQuotes(text[i + 1])) {
        word += text[++i];
      } else {
        word += c;
      }
    } else if (IsBlank(c)) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      in_word = true;
      if (c == '\'' || c == '"')
        quote = c;
      else if (c == '\\' && has_next)
        word += text[++i];
      else
        word += c;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

SpawnShell::SpawnShell(std::string opener) : opener_(std::move(opener)) {}

// The seam's own order of parameters.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void SpawnShell::Execute(const std::string& file, const std::string& parameters,
                         const std::string& directory, int /*show_command*/) {
  Reap();
  if (file.empty()) return;
  // A name in the given folder is that file (the Exec text names a full
  // path and is split into the folder and the name); the search path is
  // only for names found nowhere else.
  const std::string in_folder = directory.empty() ? std::string() : directory + "/" + file;
  const bool named_in_folder = file.find('/') == std::string::npos && !in_folder.empty() &&
                               ::access(in_folder.c_str(), F_OK) == 0;
  std::vector<std::string> arguments{named_in_folder ? in_folder : file};
  if (IsProgram(arguments.front(), directory)) {
    for (auto& word : SplitWords(parameters)) arguments.push_back(std::move(word));
  } else {
    arguments.insert(arguments.begin(), opener_);
  }
  Spawn(arguments, directory);
}

void SpawnShell::Spawn(const std::vector<std::string>& arguments, const std::string& directory) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  SpawnSetup setup;
  pid_t child = 0;
  int r = setup.Prepare(directory);
  // glibc reports a program that cannot be started (missing, not
  // executable, a folder that does not exist) here, not as a child that
  // ends at once.
  if (r == 0) {
    r = ::posix_spawnp(&child, argv[0], setup.actions(), setup.attributes(), argv.data(), environ);
  }
  if (r != 0) {
    Trace(Describe(posix::SystemError(r, kSpawn, CommandText(arguments))));
    return;
  }
  children_.push_back(child);
}

void SpawnShell::Reap() {
  std::erase_if(children_, [](pid_t child) {
    int status = 0;
    const pid_t r = ::waitpid(child, &status, WNOHANG);
    // Ended, or no longer ours to wait for (someone else reaped it).
    return r == child || (r < 0 && errno == ECHILD);
  });
}

}  // namespace pelorin::linux_os
