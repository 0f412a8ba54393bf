#pragma once
#include <string>

#include "app/startup_locations.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace pelorin {

// The media player as a program to start: where it is installed and how it
// is started ("Start Winamp" in the tray menu and the player-absent policy).
class PlayerProgram {
 public:
  virtual ~PlayerProgram() = default;
  // Where the player is installed, looked up once at start-up. A player
  // that is not found cannot be started from the tray menu.
  virtual PlayerLocation Locate() = 0;
  // Starts the player found in `directory` (as Locate answered it). Returns
  // at once; a failed start shows nothing.
  virtual void Start(const std::string& directory) = 0;
};

// Winamp (or the player that emulates it) as registered by its installer or
// installed beside this program's folder; started as Winamp.exe, or
// Studio.exe where no Winamp.exe lies in its folder.
class WinampProgram final : public PlayerProgram {
 public:
  WinampProgram(Registry& registry, FileSystem& files, Shell& shell, std::string executable_path)
      : registry_(registry),
        files_(files),
        shell_(shell),
        executable_path_(std::move(executable_path)) {}

  PlayerLocation Locate() override { return LocatePlayer(registry_, files_, executable_path_); }
  void Start(const std::string& directory) override;

 private:
  Registry& registry_;
  FileSystem& files_;
  Shell& shell_;
  std::string executable_path_;
};

}  // namespace pelorin
