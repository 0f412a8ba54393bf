#pragma once
#include <cstdint>

#include "actions/winamp_channel.h"
#include "config/settings.h"
#include "engine/player_absent_policy.h"
#include "engine/poll_cycle.h"
#include "fake_engine_seams.h"
#include "fake_text_files.h"
#include "indicators/led_driver.h"
#include "input/port_channel.h"
#include "rig_basics.h"

namespace pelorin::testing {

// The poll cycle wired to fakes, in simulated time. The primary port is COM1
// and open; the secondary port is COM2, present but closed until a test opens
// it. The player is running unless a test removes it.
struct EngineRig : RigBasics<EngineRig> {
  static constexpr WindowId kMainWindow = 0x7001;

  Settings settings;
  PortChannel primary{PortRole::Primary, ports, boxes};
  PortChannel secondary{PortRole::Secondary, ports, boxes};
  FakeTextFiles playlist_files;
  WinampChannel player{messaging, playlist_files};
  RecordingCommandSink sink{clock};
  FakeCycleView view;
  FakeRemapLineFeed primary_remap;
  FakeRemapLineFeed secondary_remap;
  FakePollTimer timer;
  FakePlayerLauncher launcher;
  PlayerAbsentPolicy policy{boxes, messaging, timer, launcher};
  LedDriver leds{primary, secondary, settings, player};
  PollCycle cycle{PartsWith(primary_remap, secondary_remap)};

  EngineRig() {
    ports.Port(1);
    ports.Port(2);
    primary.Open(ComPortNumber{1});
    policy.SetMainWindow(kMainWindow);
    SetPlayerRunning(true);
  }

  void OpenSecondary() { secondary.Open(ComPortNumber{2}); }

  // This rig's parts with other remap dialogs fed by the cycle, for a test
  // that runs a cycle of its own with real dialogs.
  PollCycleParts PartsWith(RemapLineFeed& primary_feed, RemapLineFeed& secondary_feed) {
    return {clock, settings, primary, secondary, player,       sink,          policy,
            leds,  view,     view,    view,      primary_feed, secondary_feed};
  }

  // One cycle at the current simulated time.
  void Cycle() { cycle.Run(); }
  // One cycle, 25 ms after the previous one.
  void Tick() {
    clock.Advance(kCycleMs);
    cycle.Run();
  }
};

}  // namespace pelorin::testing
