#include "platform/posix/file_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/posix/system_error.h"

namespace pelorin::posix {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string StripLeadingBackslashes(const std::string& path) {
  std::size_t first = path.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : path.substr(first);
}

// Fields are written as ':' followed by the text, with '%', blanks and
// control characters as %XX, so that a line splits at blanks unambiguously
// and an empty field still shows.
std::string Escape(const std::string& text) {
  std::string out = ":";
  for (unsigned char c : text) {
    if (c <= ' ' || c == '%' || c == 0x7F) {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescape(const std::string& field) {
  if (field.empty() || field[0] != ':') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    int high = HexDigit(field[i + 1]);
    int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

struct Value {
  std::string name;  // as first written
  bool is_dword = false;
  std::string text;
  std::uint32_t dword = 0;
};

struct Key {
  std::string path;                     // as first written
  std::map<std::string, Value> values;  // lower-case name -> value
};

using Hive = std::map<std::string, Key>;  // lower-case path -> key

std::vector<std::string> SplitAtBlanks(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

// "K <path>" declares a key; "S <path> <name> <text>" and
// "D <path> <name> <number>" hold a string and a 32-bit value.
void ParseLine(const std::string& line, Hive& hive) {
  std::vector<std::string> fields = SplitAtBlanks(line);
  if (fields.size() < 2) return;
  std::optional<std::string> path = Unescape(fields[1]);
  if (!path) return;
  Key& key = hive[Lower(*path)];
  if (key.path.empty()) key.path = *path;
  if (fields[0] == "K" || fields.size() != 4) return;
  std::optional<std::string> name = Unescape(fields[2]);
  std::optional<std::string> data = Unescape(fields[3]);
  if (!name || !data) return;
  Value value{*name, fields[0] == "D", *data, 0};
  if (value.is_dword) {
    char* end = nullptr;
    unsigned long number = std::strtoul(data->c_str(), &end, 10);
    if (data->empty() || *end != '\0' || number > 0xFFFFFFFFul) return;
    value.dword = static_cast<std::uint32_t>(number);
  } else if (fields[0] != "S") {
    return;
  }
  key.values[Lower(*name)] = std::move(value);
}

std::string Serialize(const Hive& hive) {
  std::string out;
  for (const auto& [lower, key] : hive) {
    out += "K " + Escape(key.path) + "\n";
    for (const auto& [lower_name, value] : key.values) {
      out += (value.is_dword ? "D " : "S ") + Escape(key.path) + " " + Escape(value.name) + " " +
             Escape(value.is_dword ? std::to_string(value.dword) : value.text) + "\n";
    }
  }
  return out;
}

// One root's file, read and written whole.
class HiveFile {
 public:
  HiveFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}

  // Nothing when the file exists but cannot be read: a change must not wipe it.
  std::optional<Hive> Load() const {
    FileContents contents = files_.ReadWholeFile(path_);
    if (contents.status == ReadStatus::Failed) return std::nullopt;
    Hive hive;
    std::size_t start = 0;
    const std::string& bytes = contents.bytes;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      ParseLine(bytes.substr(start, end - start), hive);
      start = end + 1;
    }
    return hive;
  }
  OsStatus Save(const Hive& hive) const {
    return files_.WriteFileAtomically(path_, Serialize(hive));
  }
  const std::string& path() const { return path_; }

 private:
  FileSystem& files_;
  std::string path_;
};

class FileKey final : public RegistryKey {
 public:
  FileKey(HiveFile file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

  std::optional<std::string> ReadString(const std::string& name) override {
    std::optional<Value> value = Find(name);
    if (!value || value->is_dword) return std::nullopt;
    return value->text;
  }
  std::optional<std::uint32_t> ReadDword(const std::string& name) override {
    std::optional<Value> value = Find(name);
    if (!value || !value->is_dword) return std::nullopt;
    return value->dword;
  }
  bool WriteString(const std::string& name, const std::string& text) override {
    return Write(Value{name, false, text, 0});
  }
  bool WriteDword(const std::string& name, std::uint32_t number) override {
    return Write(Value{name, true, {}, number});
  }
  bool DeleteValue(const std::string& name) override {
    std::optional<Hive> hive = file_.Load();
    if (!hive) return false;
    auto key = hive->find(Lower(path_));
    if (key == hive->end() || key->second.values.erase(Lower(name)) == 0) return false;
    return static_cast<bool>(file_.Save(*hive));
  }
  bool DeleteSubKey(const std::string& name) override {
    std::optional<Hive> hive = file_.Load();
    if (!hive || name.empty()) return false;
    const std::string prefix = Lower(path_.empty() ? name : path_ + "\\" + name);
    std::size_t removed = 0;
    for (auto it = hive->begin(); it != hive->end();) {
      bool below = it->first == prefix || it->first.rfind(prefix + "\\", 0) == 0;
      removed += below ? 1 : 0;
      it = below ? hive->erase(it) : std::next(it);
    }
    return removed != 0 && static_cast<bool>(file_.Save(*hive));
  }

 private:
  std::optional<Value> Find(const std::string& name) const {
    std::optional<Hive> hive = file_.Load();
    if (!hive) return std::nullopt;
    auto key = hive->find(Lower(path_));
    if (key == hive->end()) return std::nullopt;
    auto value = key->second.values.find(Lower(name));
    if (value == key->second.values.end()) return std::nullopt;
    return value->second;
  }
  bool Write(Value value) {
    std::optional<Hive> hive = file_.Load();
    if (!hive) return false;
    Key& key = (*hive)[Lower(path_)];
    if (key.path.empty()) key.path = path_;
    auto [slot, added] = key.values.try_emplace(Lower(value.name), value);
    if (!added) slot->second = Value{slot->second.name, value.is_dword, value.text, value.dword};
    return static_cast<bool>(file_.Save(*hive));
  }

  HiveFile file_;
  std::string path_;
};

}  // namespace

FileRegistry::FileRegistry(FileSystem& files, std::string folder)
    : files_(files), folder_(std::move(folder)) {}

std::string FileRegistry::FileOf(RegistryRoot root) const {
  switch (root) {
    case RegistryRoot::CurrentUser:
      return folder_ + "/HKEY_CURRENT_USER.reg";
    case RegistryRoot::LocalMachine:
      return folder_ + "/HKEY_LOCAL_MACHINE.reg";
    case RegistryRoot::ClassesRoot:
      return folder_ + "/HKEY_CLASSES_ROOT.reg";
  }
  return folder_ + "/HKEY_CURRENT_USER.reg";
}

Opened<RegistryKey> FileRegistry::OpenInView(RegistryView /*view*/, RegistryRoot root,
                                             const std::string& path, KeyAccess access,
                                             bool create) {
  HiveFile file(files_, FileOf(root));
  std::optional<Hive> hive = file.Load();
  if (!hive) return SystemError(EIO, "read", file.path());
  const std::string relative = StripLeadingBackslashes(path);
  if (hive->count(Lower(relative)) == 0) {
    if (!create) return SystemError(ENOENT, "open key", relative);
    // Creating a key creates its missing parents, as the registry does.
    for (std::size_t cut = relative.find('\\'); cut != std::string::npos;
         cut = relative.find('\\', cut + 1)) {
      Key& parent = (*hive)[Lower(relative.substr(0, cut))];
      if (parent.path.empty()) parent.path = relative.substr(0, cut);
    }
    (*hive)[Lower(relative)].path = relative;
    if (OsStatus saved = file.Save(*hive); !saved) return saved.error();
  } else if (access == KeyAccess::Full) {
    // Full access to a key that cannot be changed is refused, as Windows does.
    if (OsStatus saved = file.Save(*hive); !saved) return saved.error();
  }
  return std::make_unique<FileKey>(file, relative);
}

}  // namespace pelorin::posix
