#include "platform/linux/autostart_registry.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/identity.h"
#include "platform/posix/system_error.h"

namespace pelorin::linux_os {
namespace {

constexpr std::string_view kOpenKey = "open key";
constexpr const char* kEntryFileName = "pelorin.desktop";

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A string value of a desktop entry with its escapes undone.
std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 >= value.size()) {
      out += value[i];
      continue;
    }
    const char c = value[++i];
    switch (c) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

// The keys of the entry's main group that decide whether it runs, and its
// command line.
struct EntryFacts {
  std::optional<std::string> exec;
  bool turned_off = false;
};

EntryFacts ReadEntry(std::string_view text) {
  EntryFacts facts;
  bool in_main_group = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with('[')) {
      in_main_group = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_main_group || equals == std::string_view::npos) continue;
    std::string_view key = line.substr(0, equals);
    std::string_view value = line.substr(equals + 1);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (key == "Exec") facts.exec = Unescape(value);
    if (key == "Hidden" && value == "true") facts.turned_off = true;
    if (key == "X-GNOME-Autostart-enabled" && value == "false") facts.turned_off = true;
  }
  return facts;
}

class AutostartKey final : public RegistryKey {
 public:
  AutostartKey(FileSystem& files, std::string folder, std::string executable)
      : files_(files), folder_(std::move(folder)), executable_(std::move(executable)) {}

  std::optional<std::string> ReadString(const std::string& name) override {
    if (!IsEntryName(name)) return std::nullopt;
    const FileContents contents = files_.ReadWholeFile(EntryPath());
    if (contents.status != ReadStatus::Ok) return std::nullopt;
    EntryFacts facts = ReadEntry(contents.bytes);
    if (facts.turned_off || !facts.exec) return std::nullopt;
    return std::move(facts.exec);
  }
  std::optional<std::uint32_t> ReadDword(const std::string& /*name*/) override {
    return std::nullopt;
  }

  bool WriteString(const std::string& name, const std::string& /*value*/) override {
    // The value is the Windows command line; the entry runs this program
    // as the system knows it instead.
    if (!IsEntryName(name) || executable_.empty()) return false;
    // An entry the user turned off in the desktop's start-up settings stays
    // off: that choice is the user's, made where such choices are made.
    if (const FileContents contents = files_.ReadWholeFile(EntryPath());
        contents.status == ReadStatus::Ok && ReadEntry(contents.bytes).turned_off) {
      return true;
    }
    if (!CreateFolders()) return false;
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Pelorin\n"
        "Exec=" +
        DesktopExecArgument(executable_) +
        "\n"
        "X-GNOME-Autostart-enabled=true\n";
    return static_cast<bool>(files_.WriteFileAtomically(EntryPath(), entry));
  }
  bool WriteDword(const std::string& /*name*/, std::uint32_t /*value*/) override { return false; }
  bool DeleteValue(const std::string& name) override {
    return IsEntryName(name) && ::unlink(EntryPath().c_str()) == 0;
  }
  bool DeleteSubKey(const std::string& /*name*/) override { return false; }

 private:
  static bool IsEntryName(const std::string& name) {
    return SameIgnoringCase(name, kAutostartValueName);
  }
  std::string EntryPath() const { return folder_ + "/" + kEntryFileName; }
  // The autostart folder and its parent (~/.config on a fresh account).
  bool CreateFolders() {
    const std::size_t slash = folder_.rfind('/');
    if (slash != std::string::npos && slash > 0)
      (void)files_.CreateFolder(folder_.substr(0, slash));
    return static_cast<bool>(files_.CreateFolder(folder_));
  }

  FileSystem& files_;
  std::string folder_;
  std::string executable_;
};

}  // namespace

Answer<std::string> OwnExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length < 0) return posix::LastError("readlink", "/proc/self/exe");
  if (static_cast<std::size_t>(length) >= path.size()) {
    return posix::SystemError(ENAMETOOLONG, "readlink", "/proc/self/exe");
  }
  path.resize(static_cast<std::size_t>(length));
  return path;
}

std::string UserAutostartFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");  // NOLINT(concurrency-mt-unsafe)
  if (config != nullptr && config[0] == '/') return std::string(config) + "/autostart";
  const char* home = std::getenv("HOME");  // NOLINT(concurrency-mt-unsafe)
  return std::string(home != nullptr ? home : "") + "/.config/autostart";
}

std::string DesktopExecArgument(const std::string& path) {
  std::string quoted = "\"";
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  quoted += '"';
  std::string escaped;
  for (const char c : quoted) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
        break;
    }
  }
  return escaped;
}

AutostartRegistry::AutostartRegistry(FileSystem& files, std::string folder, std::string executable)
    : files_(files), folder_(std::move(folder)), executable_(std::move(executable)) {
  if (folder_.empty()) folder_ = UserAutostartFolder();
  if (executable_.empty()) {
    // Without it no entry can be written; reading and deleting still work.
    if (auto own = OwnExecutablePath()) executable_ = *own;
  }
}

Opened<RegistryKey> AutostartRegistry::OpenInView(RegistryView /*view*/, RegistryRoot root,
                                                  const std::string& path, KeyAccess /*access*/,
                                                  bool /*create*/) {
  if (!SameIgnoringCase(path, kRunKeyPath)) return posix::SystemError(ENOENT, kOpenKey, path);
  // The machine-wide autostart folder is the administrator's.
  if (root != RegistryRoot::CurrentUser) return posix::SystemError(EACCES, kOpenKey, path);
  return std::make_unique<AutostartKey>(files_, folder_, executable_);
}

}  // namespace pelorin::linux_os
