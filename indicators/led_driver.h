#pragma once
#include "actions/player_channel.h"
#include "config/settings.h"
#include "input/port_channel.h"

namespace pelorin {

// Whether RTS is set for `led_mode` (0..5: "Turn on", "Flash", "No flash",
// "Flash (inv.)", "No flash (inv.)", "Turn off") with LED state `state` and
// flash phase `flash`. Any other mode acts as "Turn off". The inverted modes
// serve an LED wired between DTR and RTS, which lights while RTS is clear.
bool RtsOutput(LedMode led_mode, bool state, bool flash);

// The LEDs on the RTS outputs of the two ports. Both steps read the live
// `LED` and `LEDwhen` settings of each port on every run.
class LedDriver {
 public:
  LedDriver(PortChannel& primary, PortChannel& secondary, const Settings& settings,
            PlayerChannel& player);

  // The condition step, once per poll cycle: decides each LED's state from
  // its condition, given the player window found in this cycle (or
  // kNoWindow) and the combination codes of the ports' hardware buttons. The
  // player's status is queried at most once per LED, and only when the
  // window was found and the LED watches playing, paused or stopped. The
  // secondary LED is off while its port is not open. Returns whether either
  // state changed, so that the caller can show the change at once.
  bool UpdateConditions(WindowId player, int primary_code, int secondary_code);

  // The LED step, run every 200 ms by `OnLedTick` and at once after a
  // change: inverts the flash phase, then writes RTS of the primary port and,
  // while it is open, of the secondary port, changed or not.
  void Step();

  bool PrimaryState() const { return primary_state_; }
  bool SecondaryState() const { return secondary_state_; }
  bool FlashPhase() const { return flash_; }

 private:
  bool Evaluate(const PortGroup& port, WindowId player, int code);

  PortChannel& primary_;
  PortChannel& secondary_;
  const Settings& settings_;
  PlayerChannel& player_;
  bool primary_state_ = false;
  bool secondary_state_ = false;
  // One phase for both LEDs; the first step inverts it to false.
  bool flash_ = true;
};

}  // namespace pelorin
