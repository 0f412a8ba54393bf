#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "actions/winamp_channel.h"
#include "app/player_program.h"
#include "app/program.h"
#include "fake_audio.h"
#include "fake_controls_view.h"
#include "fake_file_dialogs.h"
#include "fake_file_system.h"
#include "fake_instance_locks.h"
#include "fake_keyboard.h"
#include "fake_power.h"
#include "fake_program_window.h"
#include "fake_registry.h"
#include "fake_shell.h"
#include "fake_text_files.h"
#include "rig_basics.h"

namespace pelorin::testing {

// The central object built on fakes for every service and every view, in
// simulated time. The program lives in C:\Apps\Pelorin; its configuration
// file there chooses COM1 (which exists) as the primary port, and the player
// is installed in C:\Apps (found beside the program's folder) and running.
// A test changes the fakes first and then calls Start(), which runs the
// start-up exactly as the first tick of the one-shot timer does.
struct ProgramRig : RigBasics<ProgramRig> {
  static constexpr const char* kExe = "C:\\Apps\\Pelorin\\pelorin.exe";
  static constexpr const char* kIni = "C:\\Apps\\Pelorin\\Pelorin.ini";
  static constexpr const char* kPlayerDir = "C:\\Apps";
  static constexpr const char* kPlaylist = "C:\\Apps\\winamp.m3u";

  FakeRegistry registry;
  FakeFileSystem files;
  FakeShell shell;
  FakeKeyboard keyboard;
  FakePower power;
  FakeAudio audio;
  FakeTextFiles text_files;
  FakeInstanceLocks locks;
  WinampChannel player{messaging, text_files};
  WinampProgram player_program{registry, files, shell, kExe};

  FakeProgramWindow window;
  FakeControlsView<FrameControl> frame;
  FakeControlsView<ComPortsControl> com_ports;
  FakeControlsView<WinampControl> winamp;
  FakeControlsView<OptionsControl> options;
  FakeControlsView<HelpAboutControl> help_about;
  FakeControlsView<RemapControl> primary_remap;
  FakeControlsView<RemapControl> secondary_remap;
  FakeFileDialogs file_dialogs;

  ProgramFacts facts{kExe, "", "C:\\Users\\me\\AppData", true};
  std::unique_ptr<Program> program;

  ProgramRig() {
    ports.Port(1);
    files.files[kIni] = "[Primary]\r\nPort=1\r\n";
    files.files[std::string(kPlayerDir) + "\\winamp.exe"] = "";
    files.files[std::string(kPlayerDir) + "\\Winamp.exe"] = "";
    SetPlayerRunning(true);
  }

  // Builds the central object with its windows, as before the message loop
  // starts; the start-up has not run yet.
  void Build() {
    program = std::make_unique<Program>(
        ProgramServices{clock, ports, boxes, messaging, registry, files, shell, keyboard, power,
                        audio, text_files, locks, player, player_program},
        ProgramViews{window, frame, com_ports, winamp, options, help_about, primary_remap,
                     secondary_remap, file_dialogs},
        facts);
    program->Initialise();
  }
  // Builds the central object and runs the start-up.
  void Start() {
    Build();
    window.StartTimer(WindowTimer::StartupTimer);
    program->OnTimer(WindowTimer::StartupTimer);
  }

  // Delivers every timer that is running and due, as the message loop does,
  // 25 ms of simulated time after the previous tick.
  void Tick() {
    clock.Advance(kCycleMs);
    if (window.TimerRunning(WindowTimer::PollTimer)) program->OnTimer(WindowTimer::PollTimer);
  }
};

}  // namespace pelorin::testing
