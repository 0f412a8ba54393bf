#include "ui/edition_texts.h"

#include <array>
#include <utility>

namespace pelorin {
namespace {

// Whole texts that name Windows or the Winamp player, with the wording the
// Linux edition shows instead. Reviewed against every text the properties
// window, its tabs, the tray menu and the program's questions show.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kLinuxTexts{{
    // Tabs, labels and check boxes.
    {"Winamp", "Player"},
    {"Start when Windows starts", "Start when I log in"},
    {"When Winamp is not running, on any button click do:",
     "When no player is running, on any button click do:"},
    {"Start Winamp on startup", "Start the player on startup"},
    {"Warn if Winamp not found", "Warn if no player is found"},
    {"If Winamp isn't running:", "If no player is running:"},
    // Lists: what to do without a player, the tray click, the LEDs, commands.
    {"Start Winamp", "Start the player"},
    {"Winamp \"Open file\" dialog", "Show the player"},
    {"Winamp is running", "A player is running"},
    {"Winamp is playing", "The player is playing"},
    {"Winamp is paused", "The player is paused"},
    {"Winamp is stopped", "The player is stopped"},
    {"Close Winamp", "Close the player"},
    // The tray menu.
    {"Start &Winamp", "Start the &player"},
    // Questions and boxes.
    {"Start Winamp?", "Start the player?"},
    {"Winamp is not running", "No player is running"},
    {"Unable to find Winamp installed!\n\nProgram will be unable to start Winamp.",
     "Unable to find a player to start!\n\nProgram will be unable to start the player."},
}};

// The system commands of the command lists say "Win:" for Windows.
constexpr std::string_view kWindowsPrefix = "Win: ";
constexpr std::string_view kSystemPrefix = "System: ";

}  // namespace

std::string EditionText(std::string_view windows_text) {
  for (const auto& [windows, linux] : kLinuxTexts) {
    if (windows_text == windows) return std::string(linux);
  }
  if (windows_text.starts_with(kWindowsPrefix)) {
    return std::string(kSystemPrefix) + std::string(windows_text.substr(kWindowsPrefix.size()));
  }
  return std::string(windows_text);
}

}  // namespace pelorin
