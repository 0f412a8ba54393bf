#include "platform/win32/process_facts.h"

#include <windows.h>
// After <windows.h>, which it builds on.
#include <shlobj.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// The longest path the system handles with long paths enabled.
constexpr DWORD kLongestPath = 32768;

std::string ShellFolder(int folder_id) {
  wchar_t path[MAX_PATH] = {};  // the size the call documents
  if (FAILED(::SHGetFolderPathW(nullptr, folder_id, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return Narrow(path);
}

}  // namespace

std::string ExecutablePath() {
  // A full buffer means the path may have been cut: try again with more room.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) return Narrow(std::wstring_view(path.data(), length));
    if (size >= kLongestPath) return {};
    path.resize(static_cast<std::size_t>(size) * 2);
  }
}

std::string WindowsFolder() {
  const UINT length = ::GetWindowsDirectoryW(nullptr, 0);  // with the terminating null
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const UINT written = ::GetWindowsDirectoryW(path.data(), length);
  if (written == 0 || written >= length) return {};
  path.resize(written);
  return Narrow(path);
}

std::string SystemFolder() {
  const UINT length = ::GetSystemDirectoryW(nullptr, 0);  // with the terminating null
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const UINT written = ::GetSystemDirectoryW(path.data(), length);
  if (written == 0 || written >= length) return {};
  path.resize(written);
  return Narrow(path);
}

std::string RoamingAppDataFolder() {
  return ShellFolder(CSIDL_APPDATA);
}

std::string LocalAppDataFolder() {
  return ShellFolder(CSIDL_LOCAL_APPDATA);
}

}  // namespace pelorin::win32
