#pragma once
#include <string>
#include <vector>

#include "actions/player_channel.h"
#include "platform/text_file.h"
#include "platform/window_messaging.h"

namespace pelorin {

// The channel to Winamp (and players that emulate its window interface)
// through its window messages. Windows are looked up afresh at every use and
// never cached. The playlist for folder jumps is the file the player writes
// on request, read from the newest of the candidate files.
class WinampChannel final : public PlayerChannel {
 public:
  WinampChannel(WindowMessaging& messaging, TextFiles& files)
      : messaging_(messaging), files_(files) {}

  WindowId FindPlayer() override { return messaging_.FindWindow(kPlayerWindowClass); }
  std::intptr_t Status(WindowId player) override;
  void PostCommand(WindowId player, std::uintptr_t id) override;
  void PostRequest(WindowId player, std::uintptr_t wparam, std::intptr_t request) override;
  void WritePlaylist(WindowId player) override;
  int PlaylistPosition(WindowId player) override;
  void SelectEntry(WindowId player, int index) override;
  void FadeOutAndWait(WindowId player) override;
  void BringToFront(WindowId player) override { messaging_.SetForeground(player); }
  void OpenFileDialog(WindowId player) override;
  void AddFilesToPlaylist() override;
  void Slide() override;
  std::optional<PlaylistEntries> ReadPlaylist(WindowId player) override;
  void UsePlaylistFiles(std::vector<std::string> candidates) override {
    candidates_ = std::move(candidates);
  }

 private:
  std::unique_ptr<LineReader> OpenNewestPlaylist();

  WindowMessaging& messaging_;
  TextFiles& files_;
  std::vector<std::string> candidates_;
};

}  // namespace pelorin
