#pragma once
#include <array>

#include "actions/command_sink.h"
#include "actions/player_channel.h"
#include "config/settings.h"
#include "engine/button_state.h"
#include "engine/cycle_views.h"
#include "engine/player_absent_policy.h"
#include "engine/remap_line_feed.h"
#include "indicators/led_driver.h"
#include "input/decoder.h"
#include "input/port_channel.h"
#include "platform/clock.h"

namespace pelorin {

// Everything the poll cycle reads, drives and reports to. All of it outlives
// the cycle object; the central window object owns it.
struct PollCycleParts {
  const Clock& clock;
  const Settings& settings;  // the live record, read afresh in every cycle
  PortChannel& primary;
  PortChannel& secondary;
  PlayerChannel& player;
  CommandSink& commands;
  PlayerAbsentPolicy& policy;
  LedDriver& leds;
  // The properties window as the cycle feeds it: the "4:" and "15:"
  // indicators and the line indicators of the COM ports tab, and the
  // double-click test picture of the Options tab.
  PortIndicatorView& button_indicators;
  LineIndicatorView& line_indicators;
  DoubleClickTestView& test_picture;
  RemapLineFeed& primary_remap;
  RemapLineFeed& secondary_remap;
};

// The 25 ms poll cycle (the body of `OnPollTick`): reads the
// lines, decodes the virtual buttons, recognises clicks, double-clicks, holds
// and turbo repeats per ClickMode, applies the player-absent policy, feeds the
// remap dialogs and the LEDs, and sends each event to the dispatcher. Every
// timing decision comes from the clock, so a late cycle still ends windows
// and catches up on turbo repeats. A cycle neither allocates nor waits; only
// the commands it sends and the "Start Winamp?" question may.
//
// Wiring: the central window object owns one PollCycle, PlayerAbsentPolicy
// and LedDriver. Its `OnPollTick` runs Run(), its
// `OnLedTick` runs LedDriver::Step(), a successful Apply calls
// PlayerAbsentPolicy::ClearAskedOnce(), and the window, the tray and the
// remap dialogs provide their views, RemapLineFeed, PollTimerControl and
// PlayerLauncher ("Start &Winamp").
class PollCycle {
 public:
  explicit PollCycle(const PollCycleParts& parts);

  // Runs one cycle.
  void Run();

  // The state of virtual `button` (1..15) of `port` (1 or 2).
  const ButtonState& State(PortRole port, int button) const {
    return states_[IndexOf(port)][button - 1];
  }

 private:
  using PortStates = std::array<ButtonState, kButtonsPerPort>;

  // The decoded inputs of one cycle, per port (index 0 primary).
  struct CycleInputs {
    std::array<LineLevels, kPortCount> lines;
    std::array<HardwareButtons, kPortCount> hardware;
    std::size_t processed_ports = 1;  // 2 while the secondary port is open
  };

  void ReadLines(CycleInputs& in);
  void DecodeButtons(CycleInputs& in);
  bool RecognizePort(PortRole port);
  void FeedRemapDialog(PortRole port, const LineLevels& now, RemapLineFeed& dialog);
  void DispatchPort(PortRole port, WindowId player);
  void DispatchClickMode(PortRole port, int button, ButtonState& state, WindowId player);
  void RunTurbo(PortRole port, int button, ButtonState& state, WindowId player);
  void Send(WindowId player, PortRole port, int button, int slot);

  PollCycleParts parts_;
  std::array<PortStates, kPortCount> states_{};
  std::array<LineLevels, kPortCount> previous_lines_{};
  std::array<PortIndicators, kPortCount> indicators_{};
};

}  // namespace pelorin
