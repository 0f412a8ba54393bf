#include "engine/poll_cycle.h"

namespace pelorin {
namespace {

// Event slots as the dispatcher numbers them.
constexpr int kSlotOne = 1;    // single click, button down
constexpr int kSlotTwo = 2;    // double-click, button up
constexpr int kSlotThree = 3;  // turbo repeat, after holding

LineAssignment AssignmentOf(const PortGroup& port) {
  return {port.DCD, port.DSR, port.CTS, port.RI};
}

bool Rose(bool before, bool now) {
  return !before && now;
}

}  // namespace

PollCycle::PollCycle(const PollCycleParts& parts) : parts_(parts) {}

void PollCycle::Run() {
  CycleInputs in;
  ReadLines(in);
  // A lost secondary port is processed too: its lines read released, and a
  // button held when it went away must be released for the player as well.
  in.processed_ports = parts_.secondary.IsOpen() || parts_.secondary.IsLost() ? 2 : 1;
  for (PortRole port : FirstRoles(in.processed_ports)) {
    for (ButtonState& state : states_[IndexOf(port)]) state.ClearCycleFlags();
  }
  DecodeButtons(in);

  parts_.policy.BeginCycle();
  bool double_clicked = false;
  for (PortRole port : FirstRoles(in.processed_ports)) {
    double_clicked = RecognizePort(port) || double_clicked;
  }

  const WindowId player = parts_.player.FindPlayer();
  // May show the question box; the events of this cycle are dispatched after
  // it closes, still with no player window, unless the program ended while
  // the box was up: then this cycle neither drives a LED nor sends anything.
  if (player == kNoWindow && !parts_.policy.ActOnStartRequest()) return;

  // Once per cycle, however many buttons double-clicked.
  if (double_clicked) parts_.test_picture.FlipTestPicture();

  FeedRemapDialog(PortRole::Primary, in.lines[0], parts_.primary_remap);
  FeedRemapDialog(PortRole::Secondary, in.lines[1], parts_.secondary_remap);

  // A changed LED condition shows now rather than at the next 200 ms step.
  if (parts_.leds.UpdateConditions(player, in.hardware[0].code, in.hardware[1].code)) {
    parts_.leds.Step();
  }

  for (PortRole port : FirstRoles(in.processed_ports)) DispatchPort(port, player);

  // An unprocessed port's levels follow themselves, so it raises no events.
  for (PortStates& port_states : states_) {
    for (ButtonState& state : port_states) state.previous_level = state.current_level;
  }
  previous_lines_ = in.lines;
}

void PollCycle::ReadLines(CycleInputs& in) {
  // A port that is not open reads as all lines up.
  in.lines[0] = parts_.primary.ReadLines();
  in.lines[1] = parts_.secondary.ReadLines();
  parts_.line_indicators.ShowLines(PortRole::Primary, in.lines[0]);
  parts_.line_indicators.ShowLines(PortRole::Secondary, in.lines[1]);
}

void PollCycle::DecodeButtons(CycleInputs& in) {
  // Both ports' hardware buttons are shown every cycle, so a secondary port
  // that is not open shows all indicators up.
  for (PortRole port : kPortRoles) {
    const std::size_t index = IndexOf(port);
    const PortGroup& group = parts_.settings.PortSettings(port);
    in.hardware[index] = DecodeHardwareButtons(in.lines[index], AssignmentOf(group));
    indicators_[index].Update(port, in.hardware[index], parts_.button_indicators);
  }
  for (PortRole port : FirstRoles(in.processed_ports)) {
    const std::size_t index = IndexOf(port);
    const VirtualLevels levels =
        DecodeVirtualButtons(in.hardware[index], parts_.settings.PortSettings(port).Mode);
    for (int v = 0; v < kButtonsPerPort; ++v) states_[index][v].current_level = levels[v];
  }
}

bool PollCycle::RecognizePort(PortRole port) {
  const Settings& settings = parts_.settings;
  const std::int64_t window_ms = DoubleClickWindowMs(settings.Options.DblClickSpeed);
  bool double_clicked = false;
  for (int button = 1; button <= kButtonsPerPort; ++button) {
    ButtonState& state = states_[IndexOf(port)][button - 1];
    RecognizeEvents(state, parts_.clock, window_ms);
    // Every press counts for the player-absent policy, whatever the
    // button's ClickMode and commands.
    if (state.pressed) {
      parts_.policy.FoldPress(settings.Slot(port, button).Inactive, settings.Options.IfInactive);
    }
    double_clicked = double_clicked || state.double_click;
  }
  return double_clicked;
}

void PollCycle::FeedRemapDialog(PortRole port, const LineLevels& now, RemapLineFeed& dialog) {
  if (!dialog.ShowsAutoPage()) return;
  const LineLevels& before = previous_lines_[IndexOf(port)];
  if (Rose(before.dcd, now.dcd)) dialog.DcdRose();
  if (Rose(before.dsr, now.dsr)) dialog.DsrRose();
  if (Rose(before.cts, now.cts)) dialog.CtsRose();
  if (Rose(before.ri, now.ri)) dialog.RiRose();
}

void PollCycle::DispatchPort(PortRole port, WindowId player) {
  for (int button = 1; button <= kButtonsPerPort; ++button) {
    ButtonState& state = states_[IndexOf(port)][button - 1];
    DispatchClickMode(port, button, state, player);
    if (state.released) state.turbo_active = false;
    // A repeat started under one ClickMode runs on until the release,
    // whatever the mode is by then.
    if (state.turbo_active) RunTurbo(port, button, state, player);
  }
}

void PollCycle::DispatchClickMode(PortRole port, int button, ButtonState& state, WindowId player) {
  switch (static_cast<ClickMode>(parts_.settings.Slot(port, button).Mode)) {
    case ClickMode::Clicks:
      if (state.window_ended) Send(player, port, button, kSlotOne);
      if (state.double_click) Send(player, port, button, kSlotTwo);
      break;
    case ClickMode::DownUp:
      if (state.pressed) Send(player, port, button, kSlotOne);
      if (state.released) Send(player, port, button, kSlotTwo);
      break;
    case ClickMode::Turbo:
      if (state.pressed) StartTurbo(state, parts_.clock.NowMs());
      break;
    case ClickMode::ClicksTurbo:
      // Held through the whole window: the repeat starts instead of a click.
      if (state.window_ended) {
        if (state.current_level) {
          StartTurbo(state, parts_.clock.NowMs());
        } else {
          Send(player, port, button, kSlotOne);
        }
      }
      if (state.double_click) Send(player, port, button, kSlotTwo);
      break;
    case ClickMode::ClicksHold:
      if (state.window_ended) {
        Send(player, port, button, state.current_level ? kSlotThree : kSlotOne);
      }
      if (state.double_click) Send(player, port, button, kSlotTwo);
      break;
    default:  // an unknown ClickMode produces no events of its own
      break;
  }
}

void PollCycle::RunTurbo(PortRole port, int button, ButtonState& state, WindowId player) {
  const std::int64_t due =
      TurboRepeatsDue(state, parts_.clock.NowMs(), parts_.settings.Options.TurboCPS);
  for (std::int64_t i = 0; i < due; ++i) {
    Send(player, port, button, kSlotThree);
    ++state.turbo_count;
  }
}

void PollCycle::Send(WindowId player, PortRole port, int button, int slot) {
  parts_.commands.SendCommand(player, port, button, slot);
}

}  // namespace pelorin
