#include "platform/win32/power.h"

#include <windows.h>

namespace pelorin::win32 {
namespace {

struct TokenHandle {
  HANDLE handle = nullptr;
  TokenHandle() = default;
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  ~TokenHandle() {
    if (handle) ::CloseHandle(handle);
  }
};

}  // namespace

void Win32Power::EndSession(std::uint32_t flags) {
  // The result is ignored on purpose: a refused shut down simply does not
  // happen, and there is nobody to tell.
  ::ExitWindowsEx(flags, 0);
}

bool Win32Power::EnableShutdownPrivilege() {
  TokenHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          &token.handle)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return false;
  }
  // AdjustTokenPrivileges succeeds even when it could not grant the
  // privilege; only the last error tells.
  if (!::AdjustTokenPrivileges(token.handle, FALSE, &privileges, 0, nullptr, nullptr)) {
    return false;
  }
  return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace pelorin::win32
