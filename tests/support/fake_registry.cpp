#include "fake_registry.h"

namespace pelorin::testing {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, FakeRegistry::KeyId id)
      : registry_(registry), id_(std::move(id)) {}

  std::optional<std::string> ReadString(const std::string& name) override {
    const FakeRegistry::Value* value = Find(name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value)) return std::nullopt;
    return std::get<std::string>(*value);
  }
  std::optional<std::uint32_t> ReadDword(const std::string& name) override {
    const FakeRegistry::Value* value = Find(name);
    if (value == nullptr || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
    return std::get<std::uint32_t>(*value);
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return Write(name, value);
  }
  bool WriteDword(const std::string& name, std::uint32_t value) override {
    return Write(name, value);
  }
  bool DeleteValue(const std::string& name) override {
    if (registry_.writes_fail) return false;
    auto key = registry_.keys.find(id_);
    return key != registry_.keys.end() && key->second.values.erase(Lower(name)) != 0;
  }
  bool DeleteSubKey(const std::string& name) override {
    if (registry_.writes_fail) return false;
    const std::string prefix = id_.second + "\\" + Lower(name);
    bool found = false;
    for (auto it = registry_.keys.begin(); it != registry_.keys.end();) {
      bool below = it->first.first == id_.first &&
                   (it->first.second == prefix || it->first.second.rfind(prefix + "\\", 0) == 0);
      found = found || below;
      it = below ? registry_.keys.erase(it) : std::next(it);
    }
    return found;
  }

 private:
  const FakeRegistry::Value* Find(const std::string& name) const {
    auto key = registry_.keys.find(id_);
    if (key == registry_.keys.end()) return nullptr;
    auto value = key->second.values.find(Lower(name));
    return value == key->second.values.end() ? nullptr : &value->second;
  }
  bool Write(const std::string& name, FakeRegistry::Value value) {
    if (registry_.writes_fail) return false;
    registry_.keys[id_].values[Lower(name)] = std::move(value);
    return true;
  }

  FakeRegistry& registry_;
  FakeRegistry::KeyId id_;
};

}  // namespace

std::unique_ptr<RegistryKey> FakeRegistry::Open(RegistryRoot root, const std::string& path,
                                                KeyAccess access, bool create) {
  if (refuse_all) return nullptr;
  KeyId id{root, Lower(path)};
  if (access == KeyAccess::Full && refuse_full_access.count(id) != 0) return nullptr;
  if (keys.count(id) == 0) {
    if (!create || writes_fail) return nullptr;
    // Creating a key creates its missing parents, as the registry does.
    for (std::size_t cut = id.second.find('\\'); cut != std::string::npos;
         cut = id.second.find('\\', cut + 1)) {
      keys[{root, id.second.substr(0, cut)}];
    }
    keys[id];
  }
  return std::make_unique<FakeKey>(*this, id);
}

void FakeRegistry::Set(RegistryRoot root, const std::string& path, const std::string& name,
                       Value value) {
  keys[{root, Lower(path)}].values[Lower(name)] = std::move(value);
}

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& path) const {
  return keys.count({root, Lower(path)}) != 0;
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(RegistryRoot root, const std::string& path,
                                                     const std::string& name) const {
  auto key = keys.find({root, Lower(path)});
  if (key == keys.end()) return std::nullopt;
  auto value = key->second.values.find(Lower(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second;
}

}  // namespace pelorin::testing
