#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
  }
  return HKEY_CURRENT_USER;
}

// The root's name as the registry editor shows it, for the trace.
std::string RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
  }
  return "HKEY_CURRENT_USER";
}

// The flag that picks a view. Without one a call sees the view of this
// build; the flags have no effect on keys shared between the views, and
// 32-bit Windows, which has one view only, ignores them.
REGSAM ViewFlag(RegistryView view) {
  switch (view) {
    case RegistryView::Native:
      return 0;
    case RegistryView::Wow32:
      return KEY_WOW64_32KEY;
    case RegistryView::Wow64:
      return KEY_WOW64_64KEY;
  }
  return 0;
}

// The text of REG_SZ data `bytes` long read into `text`. The data may or may
// not end with its terminating NUL, and may even hold an odd number of bytes,
// whose last half character is dropped.
std::string StoredText(std::wstring text, DWORD bytes) {
  text.resize(std::min<std::size_t>(text.size(), bytes / sizeof(wchar_t)));
  const std::size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return Narrow(text);
}

// An open key; closed when the object goes. `view_flag` is the flag it was
// opened with: every key opened or deleted below it must be given the same.
class Win32Key final : public RegistryKey {
 public:
  Win32Key(HKEY key, REGSAM view_flag) : key_(key), view_flag_(view_flag) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<std::string> ReadString(const std::string& name) override {
    const std::wstring wide_name = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size);
    std::wstring text;
    // The value may grow between asking for its size and reading it; the read
    // then answers ERROR_MORE_DATA with the new size and is tried again.
    while (result == ERROR_SUCCESS && type == REG_SZ) {
      // One character more than the data: room for a NUL the data may lack.
      text.assign(size / sizeof(wchar_t) + 1, L'\0');
      size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
      result = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(text.data()), &size);
      if (result == ERROR_SUCCESS && type == REG_SZ) return StoredText(std::move(text), size);
      if (result == ERROR_MORE_DATA) result = ERROR_SUCCESS;
    }
    return std::nullopt;
  }

  std::optional<std::uint32_t> ReadDword(const std::string& name) override {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key_, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
      return std::nullopt;
    }
    return value;
  }

  std::optional<std::size_t> ValueCount() override {
    DWORD values = 0;
    if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return values;
  }

  bool WriteString(const std::string& name, const std::string& value) override {
    // Stored as UTF-16, as the system keeps every REG_SZ; the ANSI calls of
    // an older version read it back in their code page.
    const std::wstring wide = Widen(value);
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool WriteDword(const std::string& name, std::uint32_t value) override {
    DWORD data = value;
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_, Widen(name).c_str()) == ERROR_SUCCESS;
  }

  bool DeleteSubKey(const std::string& name) override {
    // An empty name would empty this key itself instead.
    if (name.empty()) return false;
    const std::wstring wide_name = Widen(name);
    // RegDeleteTree takes no view, so the subkey is opened in this key's view
    // and emptied through its own handle; RegDeleteKeyEx then removes it
    // from the same view (RegDeleteKey cannot reach the other one).
    HKEY child = nullptr;
    if (RegOpenKeyExW(key_, wide_name.c_str(), 0, KEY_ALL_ACCESS | view_flag_, &child) !=
        ERROR_SUCCESS) {
      return false;
    }
    const LONG emptied = RegDeleteTreeW(child, nullptr);
    RegCloseKey(child);
    return emptied == ERROR_SUCCESS &&
           RegDeleteKeyExW(key_, wide_name.c_str(), view_flag_, 0) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
  REGSAM view_flag_;
};

}  // namespace

Opened<RegistryKey> Win32Registry::OpenInView(RegistryView view, RegistryRoot root,
                                              const std::string& path, KeyAccess access,
                                              bool create) {
  const REGSAM view_flag = ViewFlag(view);
  const REGSAM sam = (access == KeyAccess::Full ? KEY_ALL_ACCESS : KEY_READ) | view_flag;
  const std::size_t first = path.find_first_not_of('\\');
  const std::string relative = first == std::string::npos ? std::string() : path.substr(first);
  const std::wstring wide_relative = Widen(relative);
  HKEY key = nullptr;
  LONG result = create ? RegCreateKeyExW(RootHandle(root), wide_relative.c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, sam, nullptr, &key, nullptr)
                       : RegOpenKeyExW(RootHandle(root), wide_relative.c_str(), 0, sam, &key);
  if (result != ERROR_SUCCESS) {
    // The registry calls answer with the error rather than through GetLastError.
    return SystemError(static_cast<DWORD>(result), create ? "RegCreateKeyEx" : "RegOpenKeyEx",
                       RootName(root) + "\\" + relative);
  }
  return std::make_unique<Win32Key>(key, view_flag);
}

}  // namespace pelorin::win32
