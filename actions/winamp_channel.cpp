#include "actions/winamp_channel.h"

#include "actions/playlist_folders.h"

namespace pelorin {

std::intptr_t WinampChannel::Status(WindowId player) {
  return messaging_.Send(player, kWmUser, 0, kPlayerStatusQuery);
}

void WinampChannel::PostCommand(WindowId player, std::uintptr_t id) {
  messaging_.Post(player, kWmCommand, id, 0);
}

void WinampChannel::PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request) {
  messaging_.Post(player, kWmUser, wparam, request);
}

void WinampChannel::WritePlaylist(WindowId player) {
  messaging_.Send(player, kWmUser, 0, kPlayerWritePlaylist);
}

int WinampChannel::PlaylistPosition(WindowId player) {
  // The player answers a 32-bit index; the upper half of the result is noise.
  return static_cast<int>(messaging_.Send(player, kWmUser, 0, kPlayerPlaylistPosition));
}

void WinampChannel::SelectEntry(WindowId player, int index) {
  PostRequest(player, static_cast<std::uintptr_t>(index), kPlayerSelectEntry);
}

void WinampChannel::FadeOutAndWait(WindowId player) {
  messaging_.SendAndWait(player, kWmCommand, kPlayerFadeOutAndStop, 0);
}

void WinampChannel::OpenFileDialog(WindowId player) {
  if (player == kNoWindow) return;
  messaging_.Send(player, kWmCommand, kPlayerOpenFile, 0);
}

void WinampChannel::AddFilesToPlaylist() {
  const WindowId editor = messaging_.FindWindow(kPlaylistWindowClass);
  if (editor == kNoWindow) return;
  messaging_.SetForeground(editor);
  messaging_.Post(editor, kWmKeyDown, kPlaylistAddKey, 0);
}

void WinampChannel::Slide() {
  const WindowId slider = messaging_.FindWindow(kSliderWindowClass);
  if (slider == kNoWindow) return;
  messaging_.Post(slider, kSliderSlideMessage, 1, 0);
}

std::unique_ptr<LineReader> WinampChannel::OpenNewestPlaylist() {
  // The player has just written its file, so the newest candidate is the one
  // it keeps now; a file left in the other place by an earlier set-up is
  // older and would point at the wrong entries.
  const std::string* newest = nullptr;
  std::optional<std::int64_t> newest_time;
  for (const std::string& path : candidates_) {
    std::optional<std::int64_t> time = files_.LastWriteTime(path);
    if (time && (!newest_time || *time > *newest_time)) {
      newest = &path;
      newest_time = time;
    }
  }
  return newest ? files_.Open(*newest) : nullptr;
}

std::optional<PlaylistEntries> WinampChannel::ReadPlaylist(WindowId player) {
  std::unique_ptr<LineReader> lines = OpenNewestPlaylist();
  if (!lines || !ReadPlaylistHeader(*lines)) return std::nullopt;
  // The position is asked only once the file is known to be a playlist.
  const int position = PlaylistPosition(player);
  return PlaylistEntries{std::move(lines), position, '\\'};
}

}  // namespace pelorin
