#include "platform/win32/power.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace pelorin::win32 {
namespace {

// "Other (Planned)" in the event log: a shut down the user asked for, not a
// crash or an unplanned outage.
constexpr DWORD kPlannedShutdownReason =
    SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

}  // namespace

void Win32Power::EndSession(std::uint32_t flags) {
  // The result is ignored on purpose: a refused shut down simply does not
  // happen, and there is nobody to tell.
  ::ExitWindowsEx(flags, kPlannedShutdownReason);
}

bool Win32Power::EnableShutdownPrivilege() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
    return false;
  }
  const UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return false;
  }
  // AdjustTokenPrivileges succeeds even when it could not grant the
  // privilege; only the last error tells.
  if (!::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) {
    return false;
  }
  return ::GetLastError() == ERROR_SUCCESS;
}

bool ProcessRunsElevated() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const UniqueHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  // A token that cannot be asked counts as not elevated: the program then
  // behaves as for a normal user, which is always safe.
  if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    return false;
  }
  return elevation.TokenIsElevated != 0;
}

}  // namespace pelorin::win32
