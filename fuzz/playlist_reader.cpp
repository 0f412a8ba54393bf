// Playlist files as they come from disk: any bytes, any line breaks. The first
// bytes choose the player's current position and the jump.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "actions/playlist_folders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::int16_t position = 0;
  std::memcpy(&position, data, sizeof position);
  const auto jump = data[2] & 1 ? pelorin::FolderJump::Next : pelorin::FolderJump::Previous;
  pelorin::StringLineReader lines(std::string(reinterpret_cast<const char*>(data) + 3, size - 3));
  if (!pelorin::ReadPlaylistHeader(lines)) return 0;
  const std::optional<int> target = pelorin::FindFolderTarget(lines, position, jump);
  // A target is always a real entry after (Next) or before (Previous) the
  // current one.
  if (target && (*target < 0 || (jump == pelorin::FolderJump::Next && *target <= position))) {
    __builtin_trap();
  }
  return 0;
}
