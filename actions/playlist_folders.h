#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/player_channel.h"
#include "platform/text_file.h"

namespace pelorin {

enum class FolderJump { Previous, Next };

// The first line a playlist file must have, exactly.
inline constexpr std::string_view kPlaylistHeader = "#EXTM3U";

// Reads the first line and tells whether it is the playlist header.
bool ReadPlaylistHeader(LineReader& lines);

// The folder of a playlist entry: the entry with A..Z lower-cased, cut before
// its last `separator` ('\\' for Windows paths, '/' for URLs); empty when it
// has none.
std::string FolderOfEntry(std::string_view entry, char separator = '\\');

// The entry to select for a jump from the player's current entry `position`,
// reading `lines` just after the header; nullopt when there is none or the
// file could not be read to the end it needed.
//   Previous: the first entry of the folder run before the run that holds
//     the current entry (nothing while the current entry is in the first
//     run, or at position 0).
//   Next: the first entry after the current one whose folder differs from
//     the current entry's folder.
// Folders end at the last `separator`, as for FolderOfEntry.
std::optional<int> FindFolderTarget(LineReader& lines, int position, FolderJump jump,
                                    char separator = '\\');

// Where the player may keep its playlist file, in order of preference for
// equal ages: beside the player; then in the user's own player folder (where
// players that keep settings per user write it); then where Windows
// redirects the file of an older 32-bit player that writes beside itself in
// a folder the user may not write (Program Files): the same path, without
// its drive, under "VirtualStore" in the user's local application-data
// folder. An empty folder adds no candidate.
std::vector<std::string> PlaylistFileCandidates(std::string_view player_dir,
                                                std::string_view user_app_data_dir,
                                                std::string_view user_local_app_data_dir = {});

// The "Previous folder" and "Next folder" commands over the player's
// playlist. The caller has had the player write its playlist just before.
class PlaylistFolders {
 public:
  explicit PlaylistFolders(PlayerChannel& player) : player_(player) {}

  // Reads the playlist and selects the target entry in `player`; plays on
  // unless the player is stopped. The playlist is closed on every path.
  void Jump(WindowId player, FolderJump jump);

 private:
  void SelectAndResume(WindowId player, int target);

  PlayerChannel& player_;
};

}  // namespace pelorin
