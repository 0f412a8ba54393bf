#pragma once
#include <windows.h>

#include <string>

namespace pelorin::e2e {

// A program started by a test; ended (if still running) when the object goes.
class ChildProcess {
 public:
  // Starts `command_line` in `directory` (empty: the test's own); both are
  // UTF-8, so that a path in any script starts whole.
  ChildProcess(const std::string& command_line, const std::string& directory = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Waits up to `timeout_ms` for the end; true when it ended.
  bool WaitForExit(DWORD timeout_ms);
  bool Running() const;
  DWORD ExitCode() const;
  void Kill();

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
};

}  // namespace pelorin::e2e
