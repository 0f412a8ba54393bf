#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/os_error.h"

namespace pelorin {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Read-only access, or full access (read, write, create, delete).
enum class KeyAccess { Read, Full };

// Which view of the registry a key is opened in. On 64-bit Windows, parts of
// HKEY_LOCAL_MACHINE\Software (the uninstall list among them) exist twice:
// 32-bit programs and their installers see and write one copy, 64-bit
// programs the other. Keys shared between the views, such as almost all of
// HKEY_CURRENT_USER\Software, are the same key in every view.
enum class RegistryView {
  Native,  // the view of this program's own build: where its own keys belong
  Wow32,   // the view of 32-bit programs
  Wow64,   // the view of 64-bit programs
};

// One open registry key. Value names are compared without regard to case.
// Closing is destruction.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value as a plain string (REG_SZ); nothing when it is missing or of
  // another type.
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;
  // The value as a 32-bit integer (REG_DWORD); nothing when it is missing or
  // of another type.
  virtual std::optional<std::uint32_t> ReadDword(const std::string& name) = 0;
  // How many values the key holds, where one question answers it; nothing
  // where it does not (a reader then asks for each value it wants).
  virtual std::optional<std::size_t> ValueCount() { return std::nullopt; }
  // Each write or delete returns false on failure; callers that ignore the
  // failure say so.
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  virtual bool WriteDword(const std::string& name, std::uint32_t value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  // Deletes the subkey `name` of this key together with everything below it.
  virtual bool DeleteSubKey(const std::string& name) = 0;
};

// Opens registry keys. Paths are relative to the root, with backslashes
// between the parts and no leading backslash ("Software\\Tarvesk\\Pelorin").
class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key in the program's own view; see OpenInView.
  Opened<RegistryKey> Open(RegistryRoot root, const std::string& path, KeyAccess access,
                           bool create) {
    return OpenInView(RegistryView::Native, root, path, access, create);
  }
  // Opens the key in `view` with the access asked for; with `create`, a
  // missing key (and its missing parents) is created first. On failure the
  // result says why: the key is missing, refuses the access asked for, or
  // cannot be created. Subkeys deleted through the key are those of the same
  // view.
  virtual Opened<RegistryKey> OpenInView(RegistryView view, RegistryRoot root,
                                         const std::string& path, KeyAccess access,
                                         bool create) = 0;
};

}  // namespace pelorin
