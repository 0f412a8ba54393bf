#pragma once
#include <memory>
#include <string>

#include "actions/media_player_channel.h"
#include "app/linux/player_command.h"
#include "app/program.h"
#include "platform/linux/autostart_registry.h"
#include "platform/linux/descriptor_watch.h"
#include "platform/linux/device_watch.h"
#include "platform/linux/event_loop.h"
#include "platform/linux/instance_files.h"
#include "platform/linux/instance_messaging.h"
#include "platform/linux/logind_power.h"
#include "platform/linux/mpris_client.h"
#include "platform/linux/pulse_audio.h"
#include "platform/linux/spawn_shell.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/serial_ports.h"
#include "platform/posix/text_files_posix.h"

// The parts of the Linux program that the headless and the desktop program
// share: the backends of the seams, the facts and the handlers that live on
// descriptors (signals, other copies' requests, serial adapters coming
// back), each watched by whichever loop the program runs.
namespace pelorin::linux_os {

// Every seam's Linux backend except the message boxes, which depend on
// whether there is a display. Built once, before the program.
class LinuxBackends {
 public:
  LinuxBackends();
  LinuxBackends(const LinuxBackends&) = delete;
  LinuxBackends& operator=(const LinuxBackends&) = delete;

  ProgramServices Services(MessageBoxes& message_boxes);
  // The player's channel and starter read the program's live settings.
  void FollowSettings(const Settings& settings);
  SpawnShell& Shell() { return shell_; }
  // Has `watch`'s loop read the player bus as messages arrive; nullptr
  // stops it (see PlayerBusInput).
  void ReadPlayerBusOn(DescriptorWatch* watch) { players_.ReadBusOn(watch); }
  RuntimeInstanceLocks& InstanceLocks() { return instance_locks_; }

 private:
  posix::MonotonicClock clock_;
  posix::SerialPorts serial_ports_;
  InstanceMessaging messaging_;
  posix::PosixFileSystem files_;
  AutostartRegistry registry_;
  SpawnShell shell_;
  std::unique_ptr<Keyboard> keyboard_;
  LogindPower power_;
  PulseAudio audio_;
  posix::PosixTextFiles text_files_;
  RuntimeInstanceLocks instance_locks_;
  dbus::MprisPlayers players_;
  MediaPlayerChannel player_;
  DesktopPlayerProgram player_program_;
};

// The facts of this process: its executable, the configuration file, and
// whether it shows windows (and so asks its questions).
ProgramFacts LinuxFacts(const std::string& config_path, bool has_display);

// The desktop's mixer for the volume entries: pavucontrol where it is
// installed, else none.
std::string DesktopMixer();

// What each signal means to the program: the end in order (SIGTERM,
// SIGINT), a fresh read of the configuration file (SIGHUP), a child to reap
// (SIGCHLD). Watches `signals` on `watch` for the program's run.
void WatchSignals(DescriptorWatch& watch, SignalFd& signal_fd, Program& program, SpawnShell& shell);

// Once this copy holds the single-instance lock (during the start-up), it
// answers the requests of other copies ("pelorin show", "pelorin quit").
class OtherCopies {
 public:
  OtherCopies(DescriptorWatch& watch, RuntimeInstanceLocks& locks, Program& program);

 private:
  std::unique_ptr<InstanceRequestServer> server_;
};

// Serial adapters that appear (plugged in again) are opened at the next
// cycle instead of at the next retry.
class AdapterArrivals {
 public:
  AdapterArrivals(DescriptorWatch& watch, Program& program);

 private:
  std::unique_ptr<DeviceArrivalWatch> watch_;
};

// For the program's run, the loop reads the player bus as messages arrive
// (a player coming or going), so that a poll cycle asks the bus nothing
// while nothing arrives. Made after the loop and gone before it.
class PlayerBusInput {
 public:
  PlayerBusInput(DescriptorWatch& watch, LinuxBackends& backends) : backends_(backends) {
    backends_.ReadPlayerBusOn(&watch);
  }
  ~PlayerBusInput() { backends_.ReadPlayerBusOn(nullptr); }
  PlayerBusInput(const PlayerBusInput&) = delete;
  PlayerBusInput& operator=(const PlayerBusInput&) = delete;

 private:
  LinuxBackends& backends_;
};

}  // namespace pelorin::linux_os
