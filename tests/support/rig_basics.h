#pragma once
#include <cstdint>

#include "actions/player_channel.h"
#include "config/port_role.h"
#include "fake_clock.h"
#include "fake_message_boxes.h"
#include "fake_serial.h"
#include "fake_window_messaging.h"

namespace pelorin::testing {

// What the engine rig and the central-object rig share: simulated time, the
// serial ports with their buttons, the message boxes, and the window system
// with the player's window. `Rig` supplies Tick(), one poll cycle 25 ms after
// the previous one.
template <typename Rig>
struct RigBasics {
  static constexpr WindowId kPlayer = 0x5150;
  static constexpr std::int64_t kCycleMs = 25;

  FakeClock clock;
  FakeSerialPorts ports;
  FakeMessageBoxes boxes;
  FakeWindowMessaging messaging;

  void SetPlayerRunning(bool running) {
    messaging.SetWindow(kPlayerWindowClass, running ? kPlayer : kNoWindow);
  }

  static std::uint32_t LineOf(int hardware_button) {
    return FakeSerialPorts::LineOf(hardware_button);
  }
  // The COM number of a port's device: COM1 primary, COM2 secondary.
  static int ComOf(PortRole port) { return NumberOf(port); }
  // Holds (or lets go of) hardware button 1..4 of the port's device.
  void Hold(PortRole port, int hardware_button, bool down = true) {
    ports.Hold(ComOf(port), hardware_button, down);
  }
  void Release(PortRole port, int hardware_button) { Hold(port, hardware_button, false); }

  // Cycles every 25 ms for `ms` milliseconds.
  void RunFor(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += kCycleMs) static_cast<Rig*>(this)->Tick();
  }
};

}  // namespace pelorin::testing
