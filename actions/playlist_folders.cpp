#include "actions/playlist_folders.h"

#include <algorithm>

namespace pelorin {
namespace {

constexpr std::string_view kInfoPrefix = "#extinf:";

// Lower-cases A..Z only; other letters are compared as they stand.
void LowerAscii(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

bool IsInfoLine(std::string_view lowered) {
  return lowered.substr(0, 8) == kInfoPrefix;
}

// The next line lower-cased, or nullopt at the end (or a read error).
std::optional<std::string> NextLowered(LineReader& lines) {
  std::optional<std::string> line = lines.ReadLine();
  if (line) LowerAscii(*line);
  return line;
}

// A view into `lowered`: comparing folders allocates nothing per entry.
std::string_view FolderOfLowered(std::string_view lowered, char separator) {
  const std::size_t slash = lowered.rfind(separator);
  return slash == std::string_view::npos ? std::string_view() : lowered.substr(0, slash);
}

std::optional<int> PreviousFolderStart(LineReader& lines, int position, char separator) {
  if (position == 0) return std::nullopt;
  int index = -1;
  int previous_start = -1;
  int current_start = -1;
  std::string current_folder;
  while (std::optional<std::string> line = NextLowered(lines)) {
    if (!IsInfoLine(*line)) {
      ++index;
      const std::string_view folder = FolderOfLowered(*line, separator);
      if (folder != current_folder) {
        previous_start = current_start;
        current_folder.assign(folder);
        current_start = index;
      }
    }
    if (index == position) break;
  }
  if (lines.Failed() || previous_start == -1) return std::nullopt;
  return previous_start;
}

std::optional<int> NextFolderStart(LineReader& lines, int position, char separator) {
  int index = -1;
  std::optional<std::string> line;
  do {
    line = NextLowered(lines);
    if (!line) return std::nullopt;  // the current entry was never reached
    if (!IsInfoLine(*line)) ++index;
  } while (index != position);
  const std::string current_folder(FolderOfLowered(*line, separator));
  while ((line = NextLowered(lines))) {
    if (IsInfoLine(*line)) continue;
    ++index;
    if (FolderOfLowered(*line, separator) != current_folder) return index;
  }
  return std::nullopt;
}

}  // namespace

bool ReadPlaylistHeader(LineReader& lines) {
  std::optional<std::string> first = lines.ReadLine();
  return first && *first == kPlaylistHeader;
}

std::string FolderOfEntry(std::string_view entry, char separator) {
  std::string lowered(entry);
  LowerAscii(lowered);
  return std::string(FolderOfLowered(lowered, separator));
}

std::optional<int> FindFolderTarget(LineReader& lines, int position, FolderJump jump,
                                    char separator) {
  return jump == FolderJump::Previous ? PreviousFolderStart(lines, position, separator)
                                      : NextFolderStart(lines, position, separator);
}

// Same-typed on purpose: three folders in the order of the search.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::vector<std::string> PlaylistFileCandidates(std::string_view player_dir,
                                                std::string_view user_app_data_dir,
                                                std::string_view user_local_app_data_dir) {
  std::vector<std::string> candidates{std::string(player_dir) + "\\winamp.m3u"};
  if (!user_app_data_dir.empty()) {
    candidates.push_back(std::string(user_app_data_dir) + "\\Winamp\\winamp.m3u");
  }
  // Only a folder on a drive ("C:\...") is redirected, never a network path.
  const bool on_a_drive = player_dir.size() > 3 && player_dir[1] == ':' && player_dir[2] == '\\';
  if (!user_local_app_data_dir.empty() && on_a_drive) {
    candidates.push_back(std::string(user_local_app_data_dir) + "\\VirtualStore" +
                         std::string(player_dir.substr(2)) + "\\winamp.m3u");
  }
  return candidates;
}

void PlaylistFolders::Jump(WindowId player, FolderJump jump) {
  std::optional<PlaylistEntries> playlist = player_.ReadPlaylist(player);
  if (!playlist) return;
  if (std::optional<int> target = FindFolderTarget(*playlist->lines, playlist->position, jump,
                                                   playlist->folder_separator)) {
    SelectAndResume(player, *target);
  }
}

void PlaylistFolders::SelectAndResume(WindowId player, int target) {
  player_.SelectEntry(player, target);
  if (player_.Status(player) != kStatusStopped) player_.PostCommand(player, kPlayerPlay);
}

}  // namespace pelorin
