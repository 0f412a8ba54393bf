#include <windows.h>
#undef FindWindow  // the seam's method, not the user32 macro

#include <string>

#include "actions/winamp_channel.h"
#include "app/command_line.h"
#include "app/player_program.h"
#include "app/program.h"
#include "platform/trace.h"
#include "platform/win32/audio.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/named_mutex.h"
#include "platform/win32/power.h"
#include "platform/win32/process_facts.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/serial_ports.h"
#include "platform/win32/shell.h"
#include "platform/win32/text_files.h"
#include "platform/win32/tick_clock.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_messaging.h"
#include "ui/win32/main_window.h"
#include "ui/win32/properties_view.h"
#include "ui/win32/remap_dialog_view.h"

// The program's entry point: builds the services and the central object,
// creates the hidden properties window with its timers and runs the message
// loop. The start-up proper (StartUp) runs from the first tick of the
// one-shot start-up timer, inside the loop.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  using namespace pelorin;
  win32::DebugOutput debug_output;
  TraceSession trace(debug_output);  // on when the user sets PELORIN_TRACE
  win32::TickClock clock;
  win32::SerialPorts serial_ports;
  win32::MessageBoxes message_boxes;
  win32::Win32WindowMessaging messaging;
  win32::Win32Registry registry;
  win32::Win32FileSystem files;
  win32::Win32Shell shell;
  win32::Win32Keyboard keyboard;
  win32::Win32Power power;
  win32::Win32Audio audio;
  win32::Win32TextFiles text_files;
  win32::NamedMutexLocks instance_locks;
  WinampChannel player(messaging, text_files);
  WinampProgram player_program(registry, files, shell, win32::ExecutablePath());
  const ProgramServices services{clock,      serial_ports,   message_boxes, messaging,     registry,
                                 files,      shell,          keyboard,      power,         audio,
                                 text_files, instance_locks, player,        player_program};

  win32::MainWindow window;
  win32::PropertiesView properties_view;
  win32::RemapDialogView primary_remap_view;
  win32::RemapDialogView secondary_remap_view;
  const ProgramViews views{window,
                           properties_view.Frame(),
                           properties_view.ComPorts(),
                           properties_view.Winamp(),
                           properties_view.Options(),
                           properties_view.HelpAbout(),
                           primary_remap_view,
                           secondary_remap_view,
                           properties_view};

  ProgramFacts facts;
  facts.executable_path = win32::ExecutablePath();
  facts.first_argument = std::string(FirstArgument(command_line ? command_line : ""));
  facts.user_app_data = win32::RoamingAppDataFolder();
  facts.user_local_app_data = win32::LocalAppDataFolder();
  facts.bare_config_name_folder = win32::WindowsFolder();
  facts.system_folder = win32::SystemFolder();
  facts.nt_family = true;  // every 64-bit Windows is of the NT family
  facts.elevated = win32::ProcessRunsElevated();

  Program program(services, views, facts);
  properties_view.Bind(program.Properties(), program.HelpAbout());
  primary_remap_view.Bind(program.PrimaryRemap());
  secondary_remap_view.Bind(program.SecondaryRemap());
  if (!window.Create(instance, program, &properties_view)) return 1;
  // The remap dialogs belong to the properties window: they stay above it
  // and share its absence from the taskbar. Like the window's controls, they
  // are built when first shown.
  primary_remap_view.Create(instance, PortRole::Primary, window.Handle());
  secondary_remap_view.Create(instance, PortRole::Secondary, window.Handle());
  program.Initialise();
  return window.RunMessageLoop();
}
