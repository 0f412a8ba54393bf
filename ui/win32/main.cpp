#include <windows.h>
#undef FindWindow  // the seam's method, not the user32 macro

#include <string>

#include "app/command_line.h"
#include "app/main_form.h"
#include "platform/win32/audio.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/named_mutex.h"
#include "platform/win32/power.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/serial_ports.h"
#include "platform/win32/shell.h"
#include "platform/win32/text_files.h"
#include "platform/win32/tick_clock.h"
#include "platform/win32/window_messaging.h"
#include "ui/win32/main_window.h"
#include "ui/win32/null_views.h"

namespace {

std::string ExecutablePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

}  // namespace

// The program's entry point: builds the services and the central object,
// creates the hidden properties window with its timers and runs the message
// loop. The start-up proper (ProgramInit) runs from the first tick of the
// one-shot start-up timer, inside the loop.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  using namespace pelorin;
  win32::TickClock clock;
  win32::SerialPorts serial_ports;
  win32::MessageBoxes message_boxes;
  win32::Win32WindowMessaging messaging;
  win32::Win32Registry registry;
  win32::Win32FileSystem files;
  win32::Win32Shell shell;
  win32::Win32Keyboard keyboard;
  win32::Win32Power power;
  win32::Win32Audio audio(kNoWindow);
  win32::Win32TextFiles text_files;
  win32::NamedMutexLocks instance_locks;
  const ProgramServices services{clock,    serial_ports, message_boxes, messaging,
                                 registry, files,        shell,         keyboard,
                                 power,    audio,        text_files,    instance_locks};

  win32::MainWindow window;
  win32::NullControlsView<FrameControl> frame;
  win32::NullControlsView<ComPortsControl> com_ports;
  win32::NullControlsView<WinampControl> winamp;
  win32::NullControlsView<OptionsControl> options;
  win32::NullControlsView<HelpAboutControl> help_about;
  win32::NullControlsView<RemapControl> primary_remap;
  win32::NullControlsView<RemapControl> secondary_remap;
  win32::NullFileDialogs file_dialogs;
  const ProgramViews views{window,     frame,         com_ports,       winamp,      options,
                           help_about, primary_remap, secondary_remap, file_dialogs};

  ProgramFacts facts;
  facts.executable_path = ExecutablePath();
  facts.first_argument = std::string(FirstArgument(command_line ? command_line : ""));
  facts.user_app_data = win32::UserAppDataFolder();
  facts.nt_family = true;  // every 64-bit Windows is of the NT family

  MainForm form(services, views, facts);
  if (!window.Create(instance, form)) return 1;
  audio.SetCallbackWindow(window.Id());
  form.Initialise();
  window.StartTimer(FormTimer::FormMiscTimer);
  window.StartTimer(FormTimer::TimerLED);
  return window.RunMessageLoop();
}
