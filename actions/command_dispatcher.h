#pragma once
#include <functional>

#include "actions/command_catalogue.h"
#include "actions/command_sink.h"
#include "actions/player_channel.h"
#include "actions/playlist_folders.h"
#include "actions/system_volume.h"
#include "config/settings.h"
#include "platform/keyboard.h"
#include "platform/power.h"
#include "platform/shell.h"

namespace pelorin {

// Everything the dispatcher acts on. The references must outlive it.
struct DispatcherServices {
  const Settings& settings;  // the live settings, read at every call
  PlayerChannel& player;
  PlaylistFolders& playlist;
  SystemVolume& volume;
  Keyboard& keyboard;
  Shell& shell;
  Power& power;
  // Stores the whole current settings; run before a forced shut down, which
  // ends the program without the usual chance to store them.
  std::function<void()> write_settings;
  // Parts the folders of the paths in Exec texts.
  char path_separator = '\\';
};

// The WM_COMMAND id that command `command` posts to the player (the one it
// repeats, for the eighth volume steps); 0 where it posts none.
std::uintptr_t PlayerCommandOf(CommandId command);

// Turns one recognised button event into its command: player messages,
// playlist folder jumps, a volume step, a key press, a program start or the
// end of the Windows session. Nothing is reported: a command that fails does
// nothing.
class CommandDispatcher final : public CommandSink {
 public:
  explicit CommandDispatcher(DispatcherServices services) : s_(std::move(services)) {}

  // Carries out the command of event `slot` of `button` on `port`. Ports,
  // buttons and slots must lie in their ranges (1..2, 1..15, 1..3); stored
  // CommandIds above 54 do nothing. With no player window and the button
  // following "Send media keys", a player command that has a media key
  // (MediaKeyFor) sends that key instead.
  void SendCommand(WindowId player, PortRole port, int button, int slot) override;

  // Carries out command `command`, with `key` and `exec` as the slot's key
  // word and Exec text.
  void Run(WindowId player, CommandId command, std::uint16_t key, std::string_view exec);

 private:
  // The steps of one command, in the order they must happen.
  bool Prepare(WindowId player, CommandId command, std::uint16_t key, std::string_view exec,
               std::uintptr_t& player_command);
  void PostPlayerMessages(WindowId player, CommandId command, std::uintptr_t player_command);
  void RunWindowsAction(WindowId player, CommandId command);

  DispatcherServices s_;
};

}  // namespace pelorin
