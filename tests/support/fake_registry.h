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

// A registry in memory. Keys and value names are compared without regard to
// case. Tests look at and change the data directly, and can refuse full
// access to chosen keys (as HKLM refuses a user without administrator rights).
class FakeRegistry final : public Registry {
 public:
  using Value = std::variant<std::string, std::uint32_t>;
  struct KeyData {
    std::map<std::string, Value> values;  // lower-case name -> value
  };
  using KeyId = std::pair<RegistryRoot, std::string>;  // root, lower-case path

  std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path, KeyAccess access,
                                    bool create) override;

  // Sets a value, creating the key when missing.
  void Set(RegistryRoot root, const std::string& path, const std::string& name, Value value);
  bool HasKey(RegistryRoot root, const std::string& path) const;
  // The value, when the key and the value exist.
  std::optional<Value> Get(RegistryRoot root, const std::string& path,
                           const std::string& name) const;

  std::set<KeyId> refuse_full_access;  // opening these with full access fails
  bool writes_fail = false;            // every write and delete fails
  bool refuse_all = false;             // every open fails (access denied everywhere)
  std::map<KeyId, KeyData> keys;
};

}  // namespace pelorin::testing
