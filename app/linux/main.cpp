#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "actions/media_player_channel.h"
#include "app/linux/config_location.h"
#include "app/linux/headless_views.h"
#include "app/linux/headless_window.h"
#include "app/linux/options.h"
#include "app/linux/player_command.h"
#include "app/program.h"
#include "platform/linux/autostart_registry.h"
#include "platform/linux/device_watch.h"
#include "platform/linux/event_loop.h"
#include "platform/linux/instance_files.h"
#include "platform/linux/instance_messaging.h"
#include "platform/linux/keyboard_choice.h"
#include "platform/linux/logind_power.h"
#include "platform/linux/mpris_client.h"
#include "platform/linux/pulse_audio.h"
#include "platform/linux/spawn_shell.h"
#include "platform/linux/terminal_boxes.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/monotonic_clock.h"
#include "platform/posix/serial_ports.h"
#include "platform/posix/text_files_posix.h"
#include "platform/trace.h"

namespace {

using namespace pelorin;
// A player that does not answer within this time counts as absent for the
// cycle; the 25 ms cycle waits for it at most this long.
constexpr std::chrono::milliseconds kPlayerTimeLimit{750};

using namespace pelorin::linux_os;

const char* Environment(const char* name) {
  return std::getenv(name);
}

std::string ExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

// The arguments after the program's name, or the exit status when the line
// is answered (help, version) or refused.
std::optional<int> ReadCommandLine(int argc, char** argv, Options& options) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  switch (parsed.action) {
    case CommandLineAction::PrintHelp:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CommandLineAction::PrintVersion:
      std::fputs(VersionText(PELORIN_VERSION).c_str(), stdout);
      return 0;
    case CommandLineAction::Refuse:
      std::fprintf(stderr, "%s\n", parsed.error.c_str());
      return kUsageExitStatus;
    case CommandLineAction::Run:
      break;
  }
  options = parsed.options;
  // This edition has no windows yet: without a display it would have none
  // either way, so both run headless.
  options.headless =
      options.headless || !DisplayAvailable(Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"));
  return std::nullopt;
}

// What each signal means to the program: the end in order, a fresh read of
// the configuration file, or a child to reap.
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

// Once this copy holds the single-instance lock (during the start-up), it
// answers the requests of other copies ("pelorin show", "pelorin quit").
class OtherCopies {
 public:
  OtherCopies(EventLoop& loop, RuntimeInstanceLocks& locks, Program& program) {
    locks.WhenAcquired([this, &loop, &locks, &program] {
      Opened<InstanceRequestServer> listening = locks.ListenForRequests();
      if (!listening) {
        Trace("Not answering other copies: " + Describe(listening.error()));
        return;
      }
      server_ = listening.Release();
      loop.Watch(server_->fd(), [this, &program] {
        if (const std::optional<InstanceRequest> request = server_->Accept()) {
          program.OnUserMessage(*request == InstanceRequest::Show ? kShowRequest : kQuitRequest, 0);
        }
      });
    });
  }

 private:
  std::unique_ptr<InstanceRequestServer> server_;
};

// Serial adapters that appear (plugged in again) are opened at the next
// cycle instead of at the next retry.
class AdapterArrivals {
 public:
  AdapterArrivals(EventLoop& loop, Program& program) {
    Opened<DeviceArrivalWatch> opened = DeviceArrivalWatch::Open();
    if (!opened) {
      Trace("No watch for serial adapters: " + Describe(opened.error()));
      return;
    }
    watch_ = opened.Release();
    loop.Watch(watch_->fd(), [this, &program] {
      if (watch_->Drain()) program.PortArrived();
    });
  }

 private:
  std::unique_ptr<DeviceArrivalWatch> watch_;
};

}  // namespace

// The Linux program's entry point: reads the command line, passes "show"
// and "quit" to the running copy, or else builds the services and the
// central object and runs the event loop. The start-up proper runs from the
// first tick of the one-shot start-up timer, inside the loop.
int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> answered = ReadCommandLine(argc, argv, options)) return *answered;

  // Before any thread starts (the sound server's client runs one), so that
  // every thread keeps these signals blocked and they reach the loop only.
  OsError error;
  std::optional<SignalFd> signals = SignalFd::Create({SIGTERM, SIGINT, SIGHUP, SIGCHLD}, &error);
  if (!signals) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(error).c_str());
    return 1;
  }
  TraceSession trace(StandardErrorTrace());  // on when the user sets PELORIN_TRACE

  // The lock and the request socket live in the user's runtime folder
  // ($XDG_RUNTIME_DIR, else a folder of the user's own in /tmp).
  if (options.request != linux_os::StartRequest::Run) {
    // No copy running: nothing to show or end, which is no failure.
    (void)SendInstanceRequest(options.request == linux_os::StartRequest::Show
                                  ? InstanceRequest::Show
                                  : InstanceRequest::Quit);
    return 0;
  }

  const std::string default_config =
      DefaultConfigPath(Environment("XDG_CONFIG_HOME"), Environment("HOME"));
  const std::string config = options.config_path.empty() ? default_config : options.config_path;
  if (const OsStatus made = CreateFolderOf(config); !made) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(made.error()).c_str());
  }

  EventLoop loop;
  const std::unique_ptr<HeadlessWindow> window = HeadlessWindow::Create(loop, &error);
  if (!window) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(error).c_str());
    return 1;
  }
  HeadlessViews views;

  posix::MonotonicClock clock;
  posix::SerialPorts serial_ports;
  TerminalMessageBoxes message_boxes;
  InstanceMessaging messaging;
  posix::PosixFileSystem files;
  AutostartRegistry registry(files);
  SpawnShell shell;
  const std::unique_ptr<Keyboard> keyboard = ChooseKeyboard({}, StandardErrorTrace());
  LogindPower power;
  PulseAudio audio;
  posix::PosixTextFiles text_files;
  RuntimeInstanceLocks instance_locks;
  dbus::MprisPlayers players(kPlayerTimeLimit);
  MediaPlayerChannel player(players);
  DesktopPlayerProgram player_program(ApplicationFolders(
      Environment("XDG_DATA_HOME"), Environment("HOME"), Environment("XDG_DATA_DIRS")));
  const ProgramServices services{clock,      serial_ports,   message_boxes, messaging,     registry,
                                 files,      shell,          *keyboard,     power,         audio,
                                 text_files, instance_locks, player,        player_program};

  ProgramFacts facts;
  facts.executable_path = ExecutablePath();
  facts.default_config_path = config;
  facts.nt_family = false;  // no privileges to enable: logind decides per call
  // Questions need a window, and this program shows none yet, whatever the
  // display: the boxes go to standard error and nothing waits for an answer.
  facts.has_display = false;
  facts.path_separator = '/';

  Program program(services, views.Views(*window), facts);
  window->SetEvents(program);
  player.FollowSettings(program.LiveSettings());
  player_program.FollowSettings(program.LiveSettings());

  OtherCopies other_copies(loop, instance_locks, program);
  AdapterArrivals adapters(loop, program);
  loop.Watch(signals->Fd(), [&] {
    while (const std::optional<int> signal = signals->TakeSignal()) {
      HandleSignal(*signal, program, shell);
    }
  });

  program.Initialise();
  if (const OsStatus ran = loop.Run(); !ran) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(ran.error()).c_str());
    return 1;
  }
  return 0;
}
