#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>

#include "platform/registry.h"

namespace pelorin::testing {

// A registry in memory, with the two views a 64-bit program sees: `keys`
// is its own view (native and 64-bit), `keys_32bit` the view of 32-bit
// programs. The views share no keys, so a test can tell which one was read.
// Keys and value names are compared without regard to case; a key path may
// start with backslashes. Tests look at and
// change the data directly, and can refuse full access to chosen keys (as
// HKLM refuses a user without administrator rights).
class FakeRegistry final : public Registry {
 public:
  using Value = std::variant<std::string, std::uint32_t>;
  struct KeyData {
    std::map<std::string, Value> values;  // lower-case name -> value
  };
  using KeyId = std::pair<RegistryRoot, std::string>;  // root, lower-case path
  using Keys = std::map<KeyId, KeyData>;

  // Fails as Windows does: a missing key with ERROR_FILE_NOT_FOUND, a
  // refused one with ERROR_ACCESS_DENIED.
  Opened<RegistryKey> OpenInView(RegistryView view, RegistryRoot root, const std::string& path,
                                 KeyAccess access, bool create) override;

  // Sets a value, creating the key when missing.
  void Set(RegistryRoot root, const std::string& path, const std::string& name, Value value,
           RegistryView view = RegistryView::Native);
  bool HasKey(RegistryRoot root, const std::string& path,
              RegistryView view = RegistryView::Native) const;
  // The value, when the key and the value exist.
  std::optional<Value> Get(RegistryRoot root, const std::string& path, const std::string& name,
                           RegistryView view = RegistryView::Native) const;

  std::set<KeyId> refuse_full_access;  // opening these with full access fails, in either view
  bool writes_fail = false;            // every write and delete fails
  bool refuse_all = false;             // every open fails (access denied everywhere)
  int dword_reads = 0;                 // ReadDword calls on any key, to see which were asked
  Keys keys;                           // the native (64-bit) view
  Keys keys_32bit;                     // the 32-bit view

 private:
  Keys& KeysOf(RegistryView view) { return view == RegistryView::Wow32 ? keys_32bit : keys; }
  const Keys& KeysOf(RegistryView view) const {
    return view == RegistryView::Wow32 ? keys_32bit : keys;
  }
};

}  // namespace pelorin::testing
