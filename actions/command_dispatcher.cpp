#include "actions/command_dispatcher.h"

#include <array>

#include "actions/keys_and_start.h"
#include "actions/media_keys.h"

namespace pelorin {
namespace {

// WM_COMMAND ids of the player commands below 38; 0 where a command sends
// none (or something else).
constexpr std::array<std::uint16_t, 38> kPlayerCommandIds = {
    0,     40045, 40046, 40047, 40044, 40048, 40197, 40195, 40058, 40059,  // 0..9
    40058, 40059, 0,     0,     40148, 40144, 40157, 40147, 40154, 40158,  // 10..19
    40192, 40194, 40029, 40155, 40323, 40188, 40012, 40023, 40022, 40258,  // 20..29
    0,     0,     40001, 0,     0,     0,     0,     0,                    // 30..37
};
constexpr std::uintptr_t kPlayerPause = 40046;
constexpr std::uintptr_t kPlayerStop = 40047;

// "Volume 1/8 up" and "down" step the player's volume this many times.
constexpr int kEighthSteps = 8;

struct VolumeStep {
  bool master;
  std::int16_t step;
};
constexpr std::array<VolumeStep, 8> kVolumeSteps = {{
    {true, 1024},
    {true, -1024},
    {true, 256},
    {true, -256},  // 40..43
    {false, 1024},
    {false, -1024},
    {false, 256},
    {false, -256},  // 44..47
}};

}  // namespace

std::uintptr_t PlayerCommandOf(CommandId command) {
  return command < kPlayerCommandIds.size() ? kPlayerCommandIds[command] : 0;
}

// Same-typed on purpose: a button (1..15) and its event slot (1..3) from the sink interface.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void CommandDispatcher::SendCommand(WindowId player, PortRole port, int button, int slot) {
  const ButtonSlot& slot_settings = s_.settings.Slot(port, button);
  const CommandId command = slot_settings.Func(slot);
  // A player command with a media key reaches whichever player the system
  // hands that key to; everything else runs as it always does, and the
  // player messages among it go nowhere without a player window.
  if (player == kNoWindow &&
      SendsMediaKeys(slot_settings.Inactive, s_.settings.Options.IfInactive) &&
      PressMediaKey(s_.keyboard, command)) {
    return;
  }
  Run(player, command, slot_settings.Key(slot), slot_settings.Exec(slot));
}

void CommandDispatcher::Run(WindowId player, CommandId command, std::uint16_t key,
                            std::string_view exec) {
  std::uintptr_t player_command = PlayerCommandOf(command);
  if (!Prepare(player, command, key, exec, player_command)) return;
  PostPlayerMessages(player, command, player_command);
  if (command == command::kPreviousFolder || command == command::kNextFolder) {
    s_.playlist.Jump(player,
                     command == command::kPreviousFolder ? FolderJump::Previous : FolderJump::Next);
    return;
  }
  RunWindowsAction(player, command);
  if (command == command::kSliderSlide) s_.player.Slide();
}

// Everything that must happen before the generic player message. Returns
// false when the command is complete already.
bool CommandDispatcher::Prepare(WindowId player, CommandId command, std::uint16_t key,
                                std::string_view exec, std::uintptr_t& player_command) {
  switch (command) {
    case command::kOpenFiles:
      s_.player.BringToFront(player);
      break;
    case command::kSavePlaylist:
    case command::kPreviousFolder:
    case command::kNextFolder:
      s_.player.WritePlaylist(player);
      break;
    case command::kAddFiles:
      s_.player.AddFilesToPlaylist();
      return false;
    case command::kPlayPause:
    case command::kPlayStop: {
      const bool playing = s_.player.Status(player) == kStatusPlaying;
      const std::uintptr_t instead = command == command::kPlayPause ? kPlayerPause : kPlayerStop;
      player_command = playing ? instead : kPlayerPlay;
      break;
    }
    case command::kFadeShutdown:
    case command::kFadeForceShutdown:
      s_.player.FadeOutAndWait(player);
      break;
    case command::kKeyboardButton:
      PressKey(s_.keyboard, key);
      break;
    case command::kStartFile:
      StartExec(s_.shell, exec, s_.path_separator);
      break;
    default:
      break;
  }
  return true;
}

void CommandDispatcher::PostPlayerMessages(WindowId player, CommandId command,
                                           std::uintptr_t player_command) {
  switch (command) {
    case command::kMaximalVolume:
      s_.player.PostRequest(player, 255, kPlayerSetVolume);
      return;
    case command::kMinimalVolume:
      s_.player.PostRequest(player, 0, kPlayerSetVolume);
      return;
    case command::kClearPlaylist:
      s_.player.PostRequest(player, 0, kPlayerClearPlaylist);
      return;
    default:
      break;
  }
  if (player_command == 0) return;
  const bool eighth = command == command::kVolumeUp8 || command == command::kVolumeDown8;
  for (int i = 0; i < (eighth ? kEighthSteps : 1); ++i)
    s_.player.PostCommand(player, player_command);
}

void CommandDispatcher::RunWindowsAction(WindowId player, CommandId command) {
  switch (command) {
    case command::kFadeShutdown:
    case command::kWinShutdown:
      s_.power.EndSession(kExitPowerOff);
      return;
    case command::kFadeForceShutdown:
    case command::kWinForceShutdown:
      if (s_.write_settings) s_.write_settings();
      s_.power.EndSession(kExitPowerOff | kExitForceIfHung);
      return;
    case command::kWinReboot:
      s_.power.EndSession(kExitReboot);
      return;
    case command::kWinForceReboot:
      if (s_.write_settings) s_.write_settings();
      s_.power.EndSession(kExitReboot | kExitForceIfHung);
      return;
    default:
      break;
  }
  if (command >= command::kWinVolumeUp && command <= command::kWinWaveDownSmall) {
    const VolumeStep& v = kVolumeSteps[command - command::kWinVolumeUp];
    if (v.master) {
      s_.volume.StepMaster(v.step);
    } else {
      s_.volume.StepWave(v.step, player == kNoWindow ? kNoWindow : s_.player.SoundOwner(player));
    }
  }
}

}  // namespace pelorin
