#include "fake_registry.h"

#include "fake_errors.h"

namespace pelorin::testing {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The key's name in the fake's maps: lower case, without leading backslashes.
std::string KeyName(const std::string& path) {
  const std::size_t first = path.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : Lower(path.substr(first));
}

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, FakeRegistry::Keys& view, FakeRegistry::KeyId id)
      : registry_(registry), view_(view), id_(std::move(id)) {}

  std::optional<std::string> ReadString(const std::string& name) override {
    const FakeRegistry::Value* value = Find(name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value)) return std::nullopt;
    return std::get<std::string>(*value);
  }
  std::optional<std::uint32_t> ReadDword(const std::string& name) override {
    ++registry_.dword_reads;
    const FakeRegistry::Value* value = Find(name);
    if (value == nullptr || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
    return std::get<std::uint32_t>(*value);
  }
  std::optional<std::size_t> ValueCount() override {
    auto key = view_.find(id_);
    return key == view_.end() ? 0 : key->second.values.size();
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return Write(name, value);
  }
  bool WriteDword(const std::string& name, std::uint32_t value) override {
    return Write(name, value);
  }
  bool DeleteValue(const std::string& name) override {
    if (registry_.writes_fail) return false;
    auto key = view_.find(id_);
    return key != view_.end() && key->second.values.erase(Lower(name)) != 0;
  }
  bool DeleteSubKey(const std::string& name) override {
    if (registry_.writes_fail) return false;
    const std::string prefix = id_.second + "\\" + Lower(name);
    bool found = false;
    for (auto it = view_.begin(); it != view_.end();) {
      bool below = it->first.first == id_.first &&
                   (it->first.second == prefix || it->first.second.rfind(prefix + "\\", 0) == 0);
      found = found || below;
      it = below ? view_.erase(it) : std::next(it);
    }
    return found;
  }

 private:
  const FakeRegistry::Value* Find(const std::string& name) const {
    auto key = view_.find(id_);
    if (key == view_.end()) return nullptr;
    auto value = key->second.values.find(Lower(name));
    return value == key->second.values.end() ? nullptr : &value->second;
  }
  bool Write(const std::string& name, FakeRegistry::Value value) {
    if (registry_.writes_fail) return false;
    view_[id_].values[Lower(name)] = std::move(value);
    return true;
  }

  FakeRegistry& registry_;
  FakeRegistry::Keys& view_;
  FakeRegistry::KeyId id_;
};

}  // namespace

Opened<RegistryKey> FakeRegistry::OpenInView(RegistryView view, RegistryRoot root,
                                             const std::string& path, KeyAccess access,
                                             bool create) {
  KeyId id{root, KeyName(path)};
  if (refuse_all || (access == KeyAccess::Full && refuse_full_access.count(id) != 0)) {
    return OsError{kFakeAccessDenied, "RegOpenKeyEx", path};
  }
  Keys& keys_in_view = KeysOf(view);
  if (keys_in_view.count(id) == 0) {
    if (!create) return OsError{kFakeNotFound, "RegOpenKeyEx", path};
    if (writes_fail) return OsError{kFakeAccessDenied, "RegCreateKeyEx", path};
    // Creating a key creates its missing parents, as the registry does.
    for (std::size_t cut = id.second.find('\\'); cut != std::string::npos;
         cut = id.second.find('\\', cut + 1)) {
      keys_in_view[{root, id.second.substr(0, cut)}];
    }
    keys_in_view[id];
  }
  return std::make_unique<FakeKey>(*this, keys_in_view, id);
}

void FakeRegistry::Set(RegistryRoot root, const std::string& path, const std::string& name,
                       Value value, RegistryView view) {
  KeysOf(view)[{root, KeyName(path)}].values[Lower(name)] = std::move(value);
}

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& path, RegistryView view) const {
  return KeysOf(view).count({root, KeyName(path)}) != 0;
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(RegistryRoot root, const std::string& path,
                                                     const std::string& name,
                                                     RegistryView view) const {
  const Keys& keys_in_view = KeysOf(view);
  auto key = keys_in_view.find({root, KeyName(path)});
  if (key == keys_in_view.end()) return std::nullopt;
  auto value = key->second.values.find(Lower(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second;
}

}  // namespace pelorin::testing
