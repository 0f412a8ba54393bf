#pragma once
#include <array>

#include "actions/player_channel.h"
#include "config/settings.h"
#include "engine/button_state.h"
#include "engine/player_absent_policy.h"
#include "indicators/led_driver.h"
#include "input/decoder.h"
#include "input/port_channel.h"
#include "platform/clock.h"

namespace pelorin {

// The properties window as the poll cycle feeds it: the "4:" and "15:"
// indicators (PortIndicatorView), the line indicators and the double-click
// test picture of the Options tab.
class CycleView : public PortIndicatorView {
 public:
  // The line indicators of `port` (1 or 2), with the levels read this cycle.
  virtual void ShowLines(int port, const LineLevels& lines) = 0;
  // Shows the other of the two double-click test pictures.
  virtual void FlipDoubleClickTestPicture() = 0;
};

// A port's line remap dialog as the poll cycle feeds its automatic
// assignment: while the dialog shows its "Auto" page, each line that became
// asserted since the previous cycle is announced, in the order DCD, DSR, CTS,
// RI.
class RemapLineFeed {
 public:
  virtual ~RemapLineFeed() = default;
  virtual bool ShowsAutoPage() const = 0;
  virtual void OnClickDCD() = 0;
  virtual void OnClickDSR() = 0;
  virtual void OnClickCTS() = 0;
  virtual void OnClickRI() = 0;
};

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
  CycleView& view;
  RemapLineFeed& primary_remap;
  RemapLineFeed& secondary_remap;
};

// The 25 ms poll cycle (the body of `ButtonStatusTimer1Timer`): reads the
// lines, decodes the virtual buttons, recognises clicks, double-clicks, holds
// and turbo repeats per ClickMode, applies the player-absent policy, feeds the
// remap dialogs and the LEDs, and sends each event to the dispatcher. Every
// timing decision comes from the clock, so a late cycle still ends windows
// and catches up on turbo repeats. A cycle neither allocates nor waits; only
// the commands it sends and the "Start Winamp?" question may.
//
// Wiring: the central window object owns one PollCycle, PlayerAbsentPolicy
// and LedDriver. Its `ButtonStatusTimer1Timer` runs Run(), its
// `TimerLEDTimer` runs LedDriver::Step(), a successful Apply calls
// PlayerAbsentPolicy::ClearAskedOnce(), and the window, the tray and the
// remap dialogs provide CycleView, RemapLineFeed, PollTimerControl and
// PlayerLauncher ("Start &Winamp").
class PollCycle {
 public:
  explicit PollCycle(const PollCycleParts& parts);

  // Runs one cycle.
  void Run();

  // The state of virtual `button` (1..15) of `port` (1 or 2).
  const ButtonState& State(int port, int button) const { return states_[port - 1][button - 1]; }

 private:
  using PortStates = std::array<ButtonState, kButtonsPerPort>;

  // The decoded inputs of one cycle, per port (index 0 primary).
  struct CycleInputs {
    std::array<LineLevels, kPortCount> lines;
    std::array<HardwareButtons, kPortCount> hardware;
    int processed_ports = 1;  // 2 while the secondary port is open
  };

  void ReadLines(CycleInputs& in);
  void DecodeButtons(CycleInputs& in);
  bool RecognizePort(int port);
  void FeedRemapDialog(int port, const LineLevels& now, RemapLineFeed& dialog);
  void DispatchPort(int port, WindowId player);
  void DispatchClickMode(int port, int button, ButtonState& state, WindowId player);
  void RunTurbo(int port, int button, ButtonState& state, WindowId player);
  void Send(WindowId player, int port, int button, int slot);

  PollCycleParts parts_;
  std::array<PortStates, kPortCount> states_{};
  std::array<LineLevels, kPortCount> previous_lines_{};
  std::array<PortIndicators, kPortCount> indicators_{};
};

}  // namespace pelorin
