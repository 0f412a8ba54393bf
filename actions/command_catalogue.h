#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace pelorin {

// A CommandId is a command's position in the catalogue. The numbers are
// stored in the configuration file, so they never change.
using CommandId = std::uint8_t;

namespace command {
inline constexpr CommandId kNothing = 0;
inline constexpr CommandId kPlay = 1;
inline constexpr CommandId kPause = 2;
inline constexpr CommandId kStop = 3;
inline constexpr CommandId kPreviousTrack = 4;
inline constexpr CommandId kNextTrack = 5;
inline constexpr CommandId kVolumeUp = 8;
inline constexpr CommandId kVolumeDown = 9;
inline constexpr CommandId kVolumeUp8 = 10;
inline constexpr CommandId kVolumeDown8 = 11;
inline constexpr CommandId kMaximalVolume = 12;
inline constexpr CommandId kMinimalVolume = 13;
inline constexpr CommandId kOpenFiles = 22;
inline constexpr CommandId kClearPlaylist = 30;
inline constexpr CommandId kSavePlaylist = 31;
inline constexpr CommandId kAddFiles = 33;
inline constexpr CommandId kPlayPause = 34;
inline constexpr CommandId kPlayStop = 35;
inline constexpr CommandId kFadeShutdown = 36;
inline constexpr CommandId kFadeForceShutdown = 37;
inline constexpr CommandId kPreviousFolder = 38;
inline constexpr CommandId kNextFolder = 39;
inline constexpr CommandId kWinVolumeUp = 40;
inline constexpr CommandId kWinWaveDownSmall = 47;
inline constexpr CommandId kWinShutdown = 48;
inline constexpr CommandId kWinForceShutdown = 49;
inline constexpr CommandId kWinReboot = 50;
inline constexpr CommandId kWinForceReboot = 51;
inline constexpr CommandId kKeyboardButton = 52;
inline constexpr CommandId kStartFile = 53;
inline constexpr CommandId kSliderSlide = 54;
}  // namespace command

// The names of commands 0..53, which always exist, in id order.
inline constexpr std::array<std::string_view, 54> kCommandNames = {
    "Nothing",
    "Play",
    "Pause",
    "Stop",
    "Previous track",
    "Next track",
    "Ten tracks back",
    "Ten tracks forward",
    "Volume up",
    "Volume down",
    "Volume 1/8 up",
    "Volume 1/8 down",
    "Maximal volume",
    "Minimal volume",
    "Forward 5 seconds",
    "Rewind 5 seconds",
    "Stop after current track",
    "Stop with fadeout",
    "Start of playlist",
    "End of playlist",
    "Start/stop visualization",
    "Jump to file dialog",
    "Open file(s) dialog",
    "Open URL dialog",
    "Play Audio CD",
    "File info window",
    "Preferences window",
    "Toggle Shuffle",
    "Toggle Repeat",
    "Show/Hide main window",
    "Clear playlist",
    "Save playlist",
    "Close Winamp",
    "Add file(s) to playlist",
    "Play/Pause",
    "Play/Stop",
    "Fadeout + shut down",
    "Fadeout + force shutdown",
    "Previous folder",
    "Next folder",
    "Win: volume up",
    "Win: volume down",
    "Win: vol up [small step]",
    "Win: vol down [sm. step]",
    "Win: wave vol up",
    "Win: wave vol down",
    "Win: wave up [small step]",
    "Win: wave down [sm. step]",
    "Win: shut down",
    "Win: force shut down",
    "Win: reboot",
    "Win: force reboot",
    "Keyboard button",
    "Start file/program",
};

// Command 54 is offered only while the slider plug-in is installed.
inline constexpr std::string_view kSliderCommandName = "Slider: Slide";

// The slider plug-in file under the player directory.
std::string SliderPluginPath(std::string_view player_dir);

// Appends the catalogue's names in id order to `list` (one combo box's
// items): 54 names, and "Slider: Slide" as a 55th when the slider plug-in
// exists under `player_dir`. The list is not cleared first.
void FillCommandList(std::vector<std::string>& list, std::string_view player_dir,
                     FileSystem& files);

}  // namespace pelorin
