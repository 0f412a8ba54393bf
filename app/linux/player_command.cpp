#include "app/linux/player_command.h"

#include <utility>

#include "platform/posix/child_process.h"
#include "platform/posix/file_system_posix.h"
#include "platform/trace.h"

namespace pelorin::linux_os {
namespace {

constexpr const char* kFallbackPlayer = "vlc";
constexpr const char* kAudioType = "audio/mpeg";

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool Set(const char* value) {
  return value != nullptr && *value != '\0';
}

// Appends the folders of a colon-separated list, each with /applications.
void AppendApplicationFolders(std::string_view list, std::vector<std::string>& folders) {
  while (!list.empty()) {
    const auto colon = list.find(':');
    std::string_view folder = list.substr(0, colon);
    while (folder.size() > 1 && folder.ends_with('/')) folder.remove_suffix(1);
    // Relative entries are invalid in these lists and skipped.
    if (folder.starts_with('/')) folders.push_back(std::string(folder) + "/applications");
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileContents contents = posix::PosixFileSystem().ReadWholeFile(path);
  if (contents.status != ReadStatus::Ok) return std::nullopt;
  return std::move(contents.bytes);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < text.size()) {
        word += text[++i];
      } else {
        word += c;
      }
    } else if (c == ' ' || c == '\t') {
      if (in_word) words.push_back(std::exchange(word, {}));
      in_word = false;
    } else if (c == '"') {
      quoted = in_word = true;
    } else if (c == '%' && i + 1 < text.size()) {
      // A field code stands for what a launcher would pass (files, URLs,
      // the icon): nothing is passed here. %% is a percent sign.
      if (text[++i] == '%') word += '%';
      in_word = in_word || text[i] == '%';
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

std::optional<std::string> DesktopEntryExec(std::string_view file_text) {
  bool in_entry = false;
  while (!file_text.empty()) {
    const auto end = file_text.find('\n');
    const std::string_view line = Trimmed(file_text.substr(0, end));
    file_text.remove_prefix(end == std::string_view::npos ? file_text.size() : end + 1);
    if (line.starts_with('[')) {
      in_entry = line == "[Desktop Entry]";
    } else if (in_entry && line.starts_with("Exec")) {
      const std::string_view rest = Trimmed(line.substr(4));
      if (rest.starts_with('=')) return std::string(Trimmed(rest.substr(1)));
    }
  }
  return std::nullopt;
}

std::vector<std::string> ApplicationFolders(const char* data_home, const char* home,
                                            const char* data_dirs) {
  std::vector<std::string> folders;
  if (Set(data_home) && data_home[0] == '/') {
    folders.push_back(std::string(data_home) + "/applications");
  } else if (Set(home)) {
    folders.push_back(std::string(home) + "/.local/share/applications");
  }
  AppendApplicationFolders(Set(data_dirs) ? data_dirs : "/usr/local/share:/usr/share", folders);
  return folders;
}

std::vector<std::string> PlayerCommandLine(std::string_view configured,
                                           const std::optional<std::string>& default_exec) {
  std::vector<std::string> words = SplitCommandLine(configured);
  if (words.empty() && default_exec) words = SplitCommandLine(*default_exec);
  if (words.empty()) words = {kFallbackPlayer};
  return words;
}

std::optional<std::string> DefaultAudioPlayerExec(const std::vector<std::string>& folders) {
  const std::optional<std::string> answer =
      posix::OutputOf({"xdg-mime", "query", "default", kAudioType});
  if (!answer) return std::nullopt;
  const std::string id(Trimmed(*answer));
  // A desktop file id is a bare file name; anything else is not looked up.
  if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
  for (const std::string& folder : folders) {
    std::string path = folder;
    path.append("/").append(id);
    if (const std::optional<std::string> text = ReadWholeFile(path)) {
      return DesktopEntryExec(*text);
    }
  }
  return std::nullopt;
}

void DesktopPlayerProgram::Start(const std::string& /*directory*/) {
  const std::string configured = settings_ ? settings_->Linux.PlayerCommand : std::string();
  if (SplitCommandLine(configured).empty() && !default_exec_) {
    default_exec_ = DefaultAudioPlayerExec(folders_);
  }
  const OsStatus started =
      posix::StartDetached(PlayerCommandLine(configured, default_exec_.value_or(std::nullopt)));
  if (!started) Trace("The player did not start: " + Describe(started.error()));
}

}  // namespace pelorin::linux_os
