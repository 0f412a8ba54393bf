#include "support/child_process.h"

#include <vector>

namespace pelorin::e2e {

ChildProcess::ChildProcess(const std::string& command_line, const std::string& directory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::vector<char> text(command_line.begin(), command_line.end());
  text.push_back('\0');
  if (CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    process_ = info.hProcess;
    thread_ = info.hThread;
  }
}

ChildProcess::~ChildProcess() {
  if (process_ && Running()) Kill();
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
}

bool ChildProcess::WaitForExit(DWORD timeout_ms) {
  return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

void ChildProcess::Kill() {
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 5000);
}

}  // namespace pelorin::e2e
