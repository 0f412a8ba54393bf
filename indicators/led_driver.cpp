#include "indicators/led_driver.h"

namespace pelorin {

bool RtsOutput(LedMode led_mode, bool state, bool flash) {
  switch (led_mode) {
    case LedMode::TurnOn:
      return state;
    case LedMode::Flash:
      return state && flash;
    case LedMode::NoFlash:
      return !state && flash;
    case LedMode::FlashInverted:
      return !(state && flash);
    case LedMode::NoFlashInverted:
      return state || !flash;
    case LedMode::TurnOff:
    default:
      return !state;
  }
}

// Same-typed on purpose: the two channels, each of which knows its own role.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
LedDriver::LedDriver(PortChannel& primary, PortChannel& secondary, const Settings& settings,
                     PlayerChannel& player)
    : primary_(primary), secondary_(secondary), settings_(settings), player_(player) {}

bool LedDriver::Evaluate(const PortGroup& port, WindowId player, int code) {
  switch (port.LEDwhen) {
    case LedCondition::ProgramRunning:
      return true;
    case LedCondition::PlayerRunning:
      return player != kNoWindow;
    // A missing player is neither playing, paused nor stopped; no query then.
    case LedCondition::PlayerPlaying:
      return player != kNoWindow && player_.State(player) == PlayerState::Playing;
    case LedCondition::PlayerPaused:
      return player != kNoWindow && player_.State(player) == PlayerState::Paused;
    case LedCondition::PlayerStopped:
      return player != kNoWindow && player_.State(player) == PlayerState::Stopped;
    case LedCondition::ButtonPressed:
    default:
      return code != 0;
  }
}

bool LedDriver::UpdateConditions(WindowId player, int primary_code, int secondary_code) {
  const bool old_primary = primary_state_;
  const bool old_secondary = secondary_state_;
  primary_state_ = Evaluate(settings_.Primary, player, primary_code);
  secondary_state_ = secondary_.IsOpen() && Evaluate(settings_.Secondary, player, secondary_code);
  return primary_state_ != old_primary || secondary_state_ != old_secondary;
}

void LedDriver::Step() {
  flash_ = !flash_;
  // A primary port that is not open ignores the write.
  primary_.SetRts(RtsOutput(settings_.Primary.LED, primary_state_, flash_));
  if (secondary_.IsOpen()) {
    secondary_.SetRts(RtsOutput(settings_.Secondary.LED, secondary_state_, flash_));
  }
}

}  // namespace pelorin
