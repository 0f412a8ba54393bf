#include "platform/win32/registry_win32.h"

#include <windows.h>

#include "platform/win32/system_error.h"

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

// An open key; closed when the object goes. `view_flag` is the flag it was
// opened with: every key opened or deleted below it must be given the same.
class Win32Key final : public RegistryKey {
 public:
  Win32Key(HKEY key, REGSAM view_flag) : key_(key), view_flag_(view_flag) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<std::string> ReadString(const std::string& name) override {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return std::nullopt;
    }
    std::string text(size, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return std::nullopt;
    }
    // The stored data may or may not end with its terminating NUL.
    text.resize(size);
    std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
  }

  std::optional<std::uint32_t> ReadDword(const std::string& name) override {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
      return std::nullopt;
    }
    return value;
  }

  bool WriteString(const std::string& name, const std::string& value) override {
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }

  bool WriteDword(const std::string& name, std::uint32_t value) override {
    DWORD data = value;
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
  }

  bool DeleteSubKey(const std::string& name) override {
    // An empty name would empty this key itself instead.
    if (name.empty()) return false;
    // RegDeleteTree takes no view, so the subkey is opened in this key's view
    // and emptied through its own handle; RegDeleteKeyEx then removes it
    // from the same view (RegDeleteKey cannot reach the other one).
    HKEY child = nullptr;
    if (RegOpenKeyExA(key_, name.c_str(), 0, KEY_ALL_ACCESS | view_flag_, &child) !=
        ERROR_SUCCESS) {
      return false;
    }
    const LONG emptied = RegDeleteTreeA(child, nullptr);
    RegCloseKey(child);
    return emptied == ERROR_SUCCESS &&
           RegDeleteKeyExA(key_, name.c_str(), view_flag_, 0) == ERROR_SUCCESS;
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
  const char* relative = path.c_str();
  while (*relative == '\\') ++relative;
  HKEY key = nullptr;
  LONG result = create ? RegCreateKeyExA(RootHandle(root), relative, 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, sam, nullptr, &key, nullptr)
                       : RegOpenKeyExA(RootHandle(root), relative, 0, sam, &key);
  if (result != ERROR_SUCCESS) {
    // The registry calls answer with the error rather than through GetLastError.
    return SystemError(static_cast<DWORD>(result), create ? "RegCreateKeyEx" : "RegOpenKeyEx",
                       RootName(root) + "\\" + relative);
  }
  return std::make_unique<Win32Key>(key, view_flag);
}

}  // namespace pelorin::win32
