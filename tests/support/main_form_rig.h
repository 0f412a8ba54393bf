#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "fake_audio.h"
#include "fake_clock.h"
#include "fake_controls_view.h"
#include "fake_file_dialogs.h"
#include "fake_file_system.h"
#include "fake_form_window.h"
#include "fake_instance_locks.h"
#include "fake_keyboard.h"
#include "fake_message_boxes.h"
#include "fake_power.h"
#include "fake_registry.h"
#include "fake_serial.h"
#include "fake_shell.h"
#include "fake_text_files.h"
#include "fake_window_messaging.h"

namespace pelorin::testing {

// The central object built on fakes for every service and every view, in
// simulated time. The program lives in C:\Apps\Pelorin; its configuration
// file there chooses COM1 (which exists) as the primary port, and the player
// is installed in C:\Apps (found beside the program's folder) and running.
// A test changes the fakes first and then calls Start(), which runs the
// start-up exactly as the first tick of the one-shot timer does.
struct MainFormRig {
  static constexpr const char* kExe = "C:\\Apps\\Pelorin\\pelorin.exe";
  static constexpr const char* kIni = "C:\\Apps\\Pelorin\\Pelorin.ini";
  static constexpr const char* kPlayerDir = "C:\\Apps";
  static constexpr const char* kPlaylist = "C:\\Apps\\winamp.m3u";
  static constexpr WindowId kPlayer = 0x5150;
  static constexpr std::int64_t kCycleMs = 25;

  FakeClock clock;
  FakeSerialPorts ports;
  FakeMessageBoxes boxes;
  FakeWindowMessaging messaging;
  FakeRegistry registry;
  FakeFileSystem files;
  FakeShell shell;
  FakeKeyboard keyboard;
  FakePower power;
  FakeAudio audio;
  FakeTextFiles text_files;
  FakeInstanceLocks locks;

  FakeFormWindow window;
  FakeControlsView<FrameControl> frame;
  FakeControlsView<ComPortsControl> com_ports;
  FakeControlsView<WinampControl> winamp;
  FakeControlsView<OptionsControl> options;
  FakeControlsView<HelpAboutControl> help_about;
  FakeControlsView<RemapControl> primary_remap;
  FakeControlsView<RemapControl> secondary_remap;
  FakeFileDialogs file_dialogs;

  ProgramFacts facts{kExe, "", "C:\\Users\\me\\AppData", true};
  std::unique_ptr<MainForm> form;

  MainFormRig() {
    ports.Port(1);
    files.files[kIni] = "[Primary]\r\nPort=1\r\n";
    files.files[std::string(kPlayerDir) + "\\winamp.exe"] = "";
    files.files[std::string(kPlayerDir) + "\\Winamp.exe"] = "";
    SetPlayerRunning(true);
  }

  // Builds the central object with its windows, as before the message loop
  // starts; the start-up has not run yet.
  void Build() {
    form = std::make_unique<MainForm>(
        ProgramServices{clock, ports, boxes, messaging, registry, files, shell, keyboard, power,
                        audio, text_files, locks},
        ProgramViews{window, frame, com_ports, winamp, options, help_about, primary_remap,
                     secondary_remap, file_dialogs},
        facts);
    form->Initialise();
  }
  // Builds the central object and runs the start-up.
  void Start() {
    Build();
    window.StartTimer(FormTimer::FormMiscTimer);
    form->OnTimer(FormTimer::FormMiscTimer);
  }

  void SetPlayerRunning(bool running) {
    messaging.SetWindow(kPlayerWindowClass, running ? kPlayer : kNoWindow);
  }

  static std::uint32_t LineOf(int hardware_button) {
    return FakeSerialPorts::LineOf(hardware_button);
  }
  // Holds (or lets go of) hardware button 1..4 of the port's device: COM1
  // for the primary port, COM2 for the secondary.
  void Hold(PortRole port, int hardware_button, bool down = true) {
    ports.Hold(NumberOf(port), hardware_button, down);
  }
  void Release(PortRole port, int hardware_button) { Hold(port, hardware_button, false); }

  // Delivers every timer that is running and due, as the message loop does,
  // 25 ms of simulated time after the previous tick.
  void Tick() {
    clock.Advance(kCycleMs);
    if (window.TimerRunning(FormTimer::ButtonStatusTimer1))
      form->OnTimer(FormTimer::ButtonStatusTimer1);
  }
  void RunFor(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += kCycleMs) Tick();
  }
};

}  // namespace pelorin::testing
