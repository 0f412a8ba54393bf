#pragma once
#include <optional>
#include <string>

#include "actions/player_channel.h"
#include "app/player_program.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/power.h"
#include "platform/registry.h"
#include "platform/serial_device.h"
#include "platform/shell.h"
#include "platform/text_file.h"
#include "platform/window_messaging.h"
#include "ui/file_dialogs.h"
#include "ui/help_about_tab.h"
#include "ui/program_window.h"
#include "ui/properties_window.h"
#include "ui/remap_dialog.h"

namespace pelorin {

// Every operating-system service the program uses, each behind its seam.
struct ProgramServices {
  const Clock& clock;
  SerialPorts& serial_ports;
  MessageBoxes& message_boxes;
  WindowMessaging& messaging;
  Registry& registry;
  FileSystem& files;
  Shell& shell;
  Keyboard& keyboard;
  Power& power;
  Audio& audio;
  TextFiles& text_files;
  InstanceLocks& instance_locks;
  // The media player: its channel for commands and state, and the program
  // that starts it.
  PlayerChannel& player;
  PlayerProgram& player_program;
};

// Facts about this process, read once by the platform's entry point.
struct ProgramFacts {
  std::string executable_path;  // full path of the program's executable
  std::string first_argument;   // the first command-line argument, as given
  std::string user_app_data;    // the user's application-data folder (may be empty)
  bool nt_family = true;        // the Windows NT family (privileges exist)
  bool elevated = false;        // runs with administrator rights (an elevated token)
  // Where a configuration-file name without a folder lives: the Windows
  // folder on Windows; empty takes such a name as given.
  std::string bare_config_name_folder;
  // The Windows system folder, where the system's volume control lives;
  // empty when it cannot be read.
  std::string system_folder;
  // The user's local application-data folder, which holds the files Windows
  // redirects for older programs (may be empty).
  std::string user_local_app_data;
  // When not empty, the configuration file used from the start instead of
  // the one the platform's own rules choose (no pointer to another file is
  // followed); it may not exist yet.
  std::string default_config_path;
  // There is a display to show windows and questions on; without one the
  // questions that would wait for an answer are not asked.
  bool has_display = true;
  // What separates folder names in this system's paths.
  char path_separator = '\\';
  // Where set, the volume entries (the tray menu's and the tray clicks')
  // open this mixer program instead of the Windows volume control: the
  // desktop's own mixer on Linux. Set but empty, the desktop has none: the
  // entries do nothing and the menu's entry is disabled.
  std::optional<std::string> desktop_mixer;
};

// The windows the program shows: the hidden main window and the views of
// the properties window's tabs and of the two remap dialogs.
struct ProgramViews {
  ProgramWindow& window;
  FrameView& frame;
  ComPortsView& com_ports;
  WinampView& winamp;
  OptionsView& options;
  HelpAboutView& help_about;
  RemapView& primary_remap;
  RemapView& secondary_remap;
  FileDialogs& file_dialogs;
};

}  // namespace pelorin
