#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/os_error.h"

namespace pelorin::posix {

// Starts `argv[0]` (looked up on PATH) with the rest as its arguments, with
// no shell in between, and does not wait for it. The child gets an empty
// signal mask and default signal actions, whatever this process blocks
// (the program takes its signals through a descriptor), and its own session,
// so that a terminal's Ctrl+C meant for the program does not end the player.
// Reaping it is the caller's business (SIGCHLD).
OsStatus StartDetached(const std::vector<std::string>& argv);

// Runs `argv` as StartDetached does, with standard input and error on
// /dev/null, waits for it and returns what it wrote to standard output, or
// nothing when it could not start or ended with a status other than 0.
std::optional<std::string> OutputOf(const std::vector<std::string>& argv);

}  // namespace pelorin::posix
