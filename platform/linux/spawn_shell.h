#pragma once
#include <sys/types.h>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.h"

namespace pelorin::linux_os {

// Splits `text` into words as a shell would, without expanding anything:
// blanks (spaces, tabs, line breaks) separate words; inside single quotes
// every character stands for itself; inside double quotes a backslash keeps
// its meaning only before `$`, a backquote, `"`, `\` or a line break;
// elsewhere a backslash takes the next character literally. Quotes join the
// word they touch ("a"'b'c is one word, abc), and "" is an empty word. An
// unclosed quote runs to the end of the text.
std::vector<std::string> SplitWords(std::string_view text);

// Whether `name` (no slash) is an executable file in a folder of PATH, as
// posix_spawnp would find it.
bool FoundOnPath(const std::string& name);

// Starts programs and opens documents without a shell.
//
// A `file` that names an executable file (a path with a slash, or a name
// found on PATH) starts as a program with `parameters` split by SplitWords
// as its arguments; anything else (a document, a folder, a web address)
// goes to the desktop's opener `xdg-open`, which takes the file alone (the
// parameters are dropped). Either one starts in `directory` when it is not
// empty. The show command has no meaning here and is ignored.
//
// The child runs in a session of its own (it outlives this program and no
// signal to our terminal or process group reaches it), with every signal at
// its default action and none blocked (whatever this program blocked or
// ignored for its own event loop), standard input from /dev/null, our
// standard output and error, and no other descriptor of ours.
//
// Started children are reaped by Reap(): the event loop calls it (on
// SIGCHLD or at any steady pace); each Execute reaps too, so finished
// children never pile up. Only the children this object started are
// waited for, so no other part of the program loses a child's status.
// Failures go to the trace; Execute has nothing to report to its caller.
class SpawnShell final : public Shell {
 public:
  // `opener` is the program that opens documents, looked up on PATH unless
  // it has a slash.
  explicit SpawnShell(std::string opener = "xdg-open");

  void Execute(const std::string& file, const std::string& parameters, const std::string& directory,
               int show_command) override;

  // Collects the children that have ended, without waiting for the others.
  void Reap();
  // How many started children have not been reaped yet.
  std::size_t running() const { return children_.size(); }

 private:
  // Starts `arguments` (the program first), in `directory` when not empty.
  void Spawn(const std::vector<std::string>& arguments, const std::string& directory);

  std::string opener_;
  std::vector<pid_t> children_;
};

}  // namespace pelorin::linux_os
