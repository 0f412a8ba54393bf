#pragma once
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace pelorin::linux_os::testing {

// An Xvfb of the test's own on a free display, ready when the constructor
// returns (Xvfb writes its display number once it accepts connections);
// ended with the object. display() is empty when Xvfb could not start.
class XvfbServer {
 public:
  XvfbServer() {
    int ready[2];
    if (pipe(ready) != 0) return;
    const std::string fd = std::to_string(ready[1]);
    // -terminate: a test killed half-way leaves no server behind once its
    // connections close.
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten",
                          "tcp",  "-terminate", nullptr};
    if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
    close(ready[1]);
    char number[16] = {};
    if (pid_ > 0 && read(ready[0], number, sizeof number - 1) > 0) {
      display_ = ":" + std::to_string(std::stoi(number));
    }
    close(ready[0]);
  }
  ~XvfbServer() { End(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  const std::string& display() const { return display_; }
  void End() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace pelorin::linux_os::testing
