#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/port_role.h"
#include "platform/com_port.h"

namespace pelorin {

inline constexpr int kButtonsPerPort = 15;              // virtual buttons 1..15 of a port
inline constexpr int kMaxPortNumber = kHighestComPort;  // COM1..COM255

// "No selection" of a list field whose stored value lies outside its list.
inline constexpr int kNoSelection = -1;

// The stored list choices. Each enum names its list's entries in list order,
// and None: a stored value outside the list, which the list shows unselected
// and a save writes back as -1.
enum class PortMode : int {
  None = kNoSelection,
  FourButtons = 0,
  Button4Shift = 1,
  Buttons3And4Shifts = 2,
  Fifteen = 3
};
// A slot's ClickMode keeps any stored byte: values outside 0..4 produce no
// events and are written back as they were read.
enum class ClickMode : std::uint8_t {
  Clicks = 0,
  DownUp = 1,
  Turbo = 2,
  ClicksTurbo = 3,
  ClicksHold = 4
};
enum class LedMode : int {
  None = kNoSelection,
  TurnOn = 0,
  Flash = 1,
  NoFlash = 2,
  FlashInverted = 3,
  NoFlashInverted = 4,
  TurnOff = 5
};
enum class LedCondition : int {
  None = kNoSelection,
  ProgramRunning = 0,
  PlayerRunning = 1,
  PlayerPlaying = 2,
  PlayerPaused = 3,
  PlayerStopped = 4,
  ButtonPressed = 5
};
// The global policy for presses while the player is not running (`IfInactive`).
// SendMediaKeys came last so that every older value keeps its meaning.
enum class InactivePolicy : int {
  None = kNoSelection,
  Start = 0,
  AskEveryClick = 1,
  AskOnce = 2,
  DoNothing = 3,
  SendMediaKeys = 4
};
// What a single click on the tray icon does (`OnTrayClick`).
enum class TrayClickAction : int {
  None = kNoSelection,
  StartPlayer = 0,
  OpenVolumeControl = 1,
  OpenSimpleVolumeControl = 2,
  OpenPlayerFileDialog = 3,
  OpenProperties = 4,
  Nothing = 5
};
// The kind of network connection (`InternetType`).
enum class ConnectionType : int { None = kNoSelection, Lan = 0, DialUp = 1, NoConnection = 2 };

// The list index that shows a stored choice: None is kNoSelection.
template <typename Choice>
constexpr int SelectionOf(Choice choice) {
  return static_cast<int>(choice);
}
// The choice of entry `index` of its list; kNoSelection is None. The caller
// keeps `index` inside the list or at kNoSelection.
template <typename Choice>
constexpr Choice ChoiceAt(int index) {
  return static_cast<Choice>(index);
}

// The policy a button follows: its own `Inactive` value (that policy + 1), or
// the global one when it is 0 ("Default"). A value outside the button's list
// comes out as a policy no list holds, which has no effect.
constexpr InactivePolicy PolicyOfButton(std::uint8_t button_policy, InactivePolicy global_policy) {
  return button_policy == 0 ? global_policy : ChoiceAt<InactivePolicy>(button_policy - 1);
}

// Key word bits: the virtual-key code in bits 0..7 and the modifiers above it.
inline constexpr std::uint16_t kKeyCodeMask = 0x00FF;
inline constexpr std::uint16_t kKeyShift = 0x0100;
inline constexpr std::uint16_t kKeyCtrl = 0x0200;
inline constexpr std::uint16_t kKeyAlt = 0x0400;

// The configuration of one virtual button. Field names are the keys of its
// section in the configuration file.
struct ButtonSlot {
  std::uint8_t Mode = 0;       // ClickMode; values outside 0..4 produce no events
  std::uint8_t Func1 = 0;      // CommandId of event slot 1
  std::uint8_t Func2 = 0;      // CommandId of event slot 2
  std::uint8_t Func3 = 0;      // CommandId of event slot 3
  std::uint8_t Inactive = 0;   // 0 = use Options.IfInactive, else that policy + 1 (1..5)
  std::string Exec1 = "\"\"";  // Exec texts, held in quoted form
  std::string Exec2 = "\"\"";
  std::string Exec3 = "\"\"";
  std::uint16_t Key1 = 0;  // key words
  std::uint16_t Key2 = 0;
  std::uint16_t Key3 = 0;

  // The CommandId, Exec text and key word of event slot 1..3.
  std::uint8_t Func(int slot) const { return slot == 1 ? Func1 : slot == 2 ? Func2 : Func3; }
  const std::string& Exec(int slot) const { return slot == 1 ? Exec1 : slot == 2 ? Exec2 : Exec3; }
  std::uint16_t Key(int slot) const { return slot == 1 ? Key1 : slot == 2 ? Key2 : Key3; }

  bool operator==(const ButtonSlot&) const = default;
};

// Global options (section "Options").
struct OptionsGroup {
  InactivePolicy IfInactive = InactivePolicy::AskOnce;
  TrayClickAction OnTrayClick = TrayClickAction::OpenSimpleVolumeControl;
  ConnectionType InternetType = ConnectionType::Lan;  // kept and stored only
  bool AutoStartup = true;
  bool Warn = true;
  bool WinampOnStartup = false;
  int DblClickSpeed = 5;  // 1..10, tenths of a second
  int TurboCPS = 25;      // 1..100 repetitions per second
  bool UsePort2 = false;
  // A lost port is opened again when it returns. Read from the file only:
  // a save keeps whatever the file holds, as for any key it does not know.
  bool Reconnect = true;

  bool operator==(const OptionsGroup&) const = default;
};

// One serial port's options (sections "Primary" and "Secondary").
struct PortGroup {
  int Port = 0;  // 1..255 = COM1..COM255, 0 = none chosen
  PortMode Mode = PortMode::FourButtons;
  LedMode LED = LedMode::TurnOn;
  LedCondition LEDwhen = LedCondition::ProgramRunning;
  int DCD = 1;  // line assignment: hardware button 1..4, 0 = "None", or kNoSelection
  int DSR = 2;
  int CTS = 3;
  int RI = 4;
  // The device to open instead of the numbered port (a path such as
  // "/dev/serial/by-id/..."); empty: the port number decides.
  std::string Device;

  bool operator==(const PortGroup&) const = default;
};

// Options only the Linux edition uses (section "Linux").
struct LinuxGroup {
  // The only media player to control, by the end of its bus name ("vlc");
  // empty: whichever player is playing, or played last, or was found first.
  std::string Player;
  // The command line that starts the player; empty: the desktop's choice.
  std::string PlayerCommand;

  bool operator==(const LinuxGroup&) const = default;
};

// The one live configuration record.
struct Settings {
  OptionsGroup Options;
  PortGroup Primary;
  PortGroup Secondary;
  LinuxGroup Linux;
  std::array<std::array<ButtonSlot, kButtonsPerPort>, kPortCount> Buttons = DefaultButtons();

  PortGroup& PortSettings(PortRole role) { return role == PortRole::Primary ? Primary : Secondary; }
  const PortGroup& PortSettings(PortRole role) const {
    return role == PortRole::Primary ? Primary : Secondary;
  }
  // The slots of the 15 virtual buttons of a port.
  std::array<ButtonSlot, kButtonsPerPort>& SlotsOf(PortRole role) { return Buttons[IndexOf(role)]; }
  const std::array<ButtonSlot, kButtonsPerPort>& SlotsOf(PortRole role) const {
    return Buttons[IndexOf(role)];
  }
  // The slot of virtual button `button` (1..15) of a port.
  ButtonSlot& Slot(PortRole role, int button) { return SlotsOf(role)[button - 1]; }
  const ButtonSlot& Slot(PortRole role, int button) const { return SlotsOf(role)[button - 1]; }

  static std::array<std::array<ButtonSlot, kButtonsPerPort>, kPortCount> DefaultButtons();

  bool operator==(const Settings&) const = default;
};

}  // namespace pelorin
