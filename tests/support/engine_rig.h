#pragma once
#include <cstdint>

#include "config/settings.h"
#include "engine/player_absent_policy.h"
#include "engine/poll_cycle.h"
#include "fake_clock.h"
#include "fake_engine_seams.h"
#include "fake_message_boxes.h"
#include "fake_serial.h"
#include "fake_window_messaging.h"
#include "indicators/led_driver.h"
#include "input/port_channel.h"

namespace pelorin::testing {

// The poll cycle wired to fakes, in simulated time. The primary port is COM1
// and open; the secondary port is COM2, present but closed until a test opens
// it. The player is running unless a test removes it.
struct EngineRig {
  static constexpr WindowId kPlayer = 0x5150;
  static constexpr WindowId kMainWindow = 0x7001;
  static constexpr std::int64_t kCycleMs = 25;

  FakeClock clock;
  FakeSerialPorts ports;
  FakeMessageBoxes boxes;
  FakeWindowMessaging messaging;
  Settings settings;
  PortChannel primary{PortRole::Primary, ports, boxes};
  PortChannel secondary{PortRole::Secondary, ports, boxes};
  PlayerChannel player{messaging};
  RecordingCommandSink sink{clock};
  FakeCycleView view;
  FakeRemapLineFeed primary_remap;
  FakeRemapLineFeed secondary_remap;
  FakePollTimer timer;
  FakePlayerLauncher launcher;
  PlayerAbsentPolicy policy{boxes, messaging, timer, launcher};
  LedDriver leds{primary, secondary, settings, player};
  PollCycle cycle{{clock, settings, primary, secondary, player, sink, policy, leds, view, view,
                   view, primary_remap, secondary_remap}};

  EngineRig() {
    ports.Port(1);
    ports.Port(2);
    primary.Open(PortListIndex{0});
    policy.SetMainWindow(kMainWindow);
    SetPlayerRunning(true);
  }

  void SetPlayerRunning(bool running) {
    messaging.SetWindow(kPlayerWindowClass, running ? kPlayer : kNoWindow);
  }
  void OpenSecondary() { secondary.Open(PortListIndex{1}); }

  static std::uint32_t LineOf(int hardware_button) {
    return FakeSerialPorts::LineOf(hardware_button);
  }
  // The COM number of a port's device: COM1 primary, COM2 secondary.
  static int ComOf(PortRole port) { return NumberOf(port); }
  // Holds (or lets go of) hardware button 1..4 of a port.
  void Hold(PortRole port, int hardware_button, bool down = true) {
    ports.Hold(ComOf(port), hardware_button, down);
  }
  void Release(PortRole port, int hardware_button) { Hold(port, hardware_button, false); }

  // One cycle at the current simulated time.
  void Cycle() { cycle.Run(); }
  // One cycle, 25 ms after the previous one.
  void Tick() {
    clock.Advance(kCycleMs);
    cycle.Run();
  }
  // Cycles every 25 ms for `ms` milliseconds.
  void RunFor(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += kCycleMs) Tick();
  }
};

}  // namespace pelorin::testing
