#include "app/linux/program_parts.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/linux/keyboard_choice.h"
#include "platform/trace.h"

namespace pelorin::linux_os {
namespace {

// A player that does not answer within this time counts as absent for the
// cycle; the 25 ms cycle waits for it at most this long.
constexpr std::chrono::milliseconds kPlayerTimeLimit{750};

// The desktops' own mixer for the sound server the program's volume
// commands use (PulseAudio, or PipeWire's PulseAudio server).
constexpr const char* kPulseAudioMixer = "pavucontrol";

const char* Environment(const char* name) {
  return std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read before any thread
}

std::string ExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

void HandleSignal(int signal, Program& program, SpawnShell& shell) {
  switch (signal) {
    case SIGTERM:
    case SIGINT:
      program.ExitClicked();
      break;
    case SIGHUP:
      program.ReloadSettings();
      break;
    case SIGCHLD:
      // The programs the commands started, and the players started for
      // "Start the player".
      shell.Reap();
      ReapEndedChildren();
      break;
    default:
      break;
  }
}

}  // namespace

LinuxBackends::LinuxBackends()
    : registry_(files_),
      keyboard_(ChooseKeyboard({}, StandardErrorTrace())),
      players_(kPlayerTimeLimit),
      player_(players_),
      player_program_(ApplicationFolders(Environment("XDG_DATA_HOME"), Environment("HOME"),
                                         Environment("XDG_DATA_DIRS"))) {}

ProgramServices LinuxBackends::Services(MessageBoxes& message_boxes) {
  return ProgramServices{clock_,      serial_ports_,   message_boxes, messaging_,     registry_,
                         files_,      shell_,          *keyboard_,    power_,         audio_,
                         text_files_, instance_locks_, player_,       player_program_};
}

void LinuxBackends::FollowSettings(const Settings& settings) {
  player_.FollowSettings(settings);
  player_program_.FollowSettings(settings);
}

ProgramFacts LinuxFacts(const std::string& config_path, bool has_display) {
  ProgramFacts facts;
  facts.executable_path = ExecutablePath();
  facts.default_config_path = config_path;
  facts.nt_family = false;  // no privileges to enable: logind decides per call
  // Without a display the boxes go to standard error, and nothing waits
  // for an answer.
  facts.has_display = has_display;
  facts.path_separator = '/';
  facts.desktop_mixer = has_display ? DesktopMixer() : std::string();
  return facts;
}

std::string DesktopMixer() {
  return FoundOnPath(kPulseAudioMixer) ? kPulseAudioMixer : "";
}

void WatchSignals(DescriptorWatch& watch, SignalFd& signal_fd, Program& program,
                  SpawnShell& shell) {
  watch.Watch(signal_fd.Fd(), [&signal_fd, &program, &shell] {
    while (const std::optional<int> signal = signal_fd.TakeSignal()) {
      HandleSignal(*signal, program, shell);
    }
  });
}

OtherCopies::OtherCopies(DescriptorWatch& watch, RuntimeInstanceLocks& locks, Program& program) {
  locks.WhenAcquired([this, &watch, &locks, &program] {
    Opened<InstanceRequestServer> listening = locks.ListenForRequests();
    if (!listening) {
      Trace("Not answering other copies: " + Describe(listening.error()));
      return;
    }
    server_ = listening.Release();
    watch.Watch(server_->fd(), [this, &program] {
      if (const std::optional<InstanceRequest> request = server_->Accept()) {
        program.OnUserMessage(*request == InstanceRequest::Show ? kShowRequest : kQuitRequest, 0);
      }
    });
  });
}

AdapterArrivals::AdapterArrivals(DescriptorWatch& watch, Program& program) {
  Opened<DeviceArrivalWatch> opened = DeviceArrivalWatch::Open();
  if (!opened) {
    Trace("No watch for serial adapters: " + Describe(opened.error()));
    return;
  }
  watch_ = opened.Release();
  watch.Watch(watch_->fd(), [this, &program] {
    if (watch_->Drain()) program.PortArrived();
  });
}

}  // namespace pelorin::linux_os
