#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/player_program.h"
#include "config/settings.h"
#include "platform/os_error.h"

namespace pelorin::linux_os {

// Splits a command line into the program and its arguments the way a
// desktop entry's Exec value is split: words apart at spaces, double quotes
// group a word (inside them a backslash makes the next character literal),
// the field codes a launcher fills in (%f, %U, ...) are dropped and %% is a
// percent sign. No shell is involved.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The Exec value of the [Desktop Entry] group of a desktop file; nothing
// when the group has none.
std::optional<std::string> DesktopEntryExec(std::string_view file_text);

// The folders where desktop files are looked for, in order:
// $XDG_DATA_HOME/applications (default ~/.local/share), then each folder of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share) with /applications.
std::vector<std::string> ApplicationFolders(const char* data_home, const char* home,
                                            const char* data_dirs);

// The program started for "Start the player": `configured` ([Linux]
// PlayerCommand=) when set, else the command of the desktop's default
// application for audio files, else VLC.
std::vector<std::string> PlayerCommandLine(std::string_view configured,
                                           const std::optional<std::string>& default_exec);

// The desktop's default application for audio files, asked of xdg-mime and
// read from its desktop file in `folders`: its Exec value, or nothing.
std::optional<std::string> DefaultAudioPlayerExec(const std::vector<std::string>& folders);

// The player as a program to start on Linux: `[Linux] PlayerCommand=` when
// set, else the desktop's default application for audio files (found once
// and kept for the run), else VLC. There is always one to try, so it is
// always "found"; a start that fails is traced and shows nothing.
class DesktopPlayerProgram final : public PlayerProgram {
 public:
  explicit DesktopPlayerProgram(std::vector<std::string> application_folders)
      : folders_(std::move(application_folders)) {}
  // The live settings, read at every start (the program that owns them is
  // built on this object); until then the default player is started.
  void FollowSettings(const Settings& settings) { settings_ = &settings; }

  PlayerLocation Locate() override { return PlayerLocation{"", true}; }
  void Start(const std::string& directory) override;

 private:
  std::vector<std::string> folders_;
  const Settings* settings_ = nullptr;
  std::optional<std::optional<std::string>> default_exec_;  // outer: asked yet
};

}  // namespace pelorin::linux_os
