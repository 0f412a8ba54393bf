#include "support/child_process.h"

#include <string>

namespace pelorin::e2e {

namespace {

std::wstring FromUtf8(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& command_line, const std::string& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring text = FromUtf8(command_line);  // CreateProcessW may write into it
  const std::wstring folder = FromUtf8(directory);
  if (CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     directory.empty() ? nullptr : folder.c_str(), &startup, &info)) {
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
