#include <malloc.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/linux/config_location.h"
#include "app/linux/desktop_display.h"
#include "app/linux/desktop_part.h"
#include "app/linux/headless_views.h"
#include "app/linux/headless_window.h"
#include "app/linux/options.h"
#include "app/linux/program_parts.h"
#include "platform/linux/event_loop.h"
#include "platform/linux/instance_files.h"
#include "platform/linux/terminal_boxes.h"
#include "platform/trace.h"
#include "platform/version.h"

namespace {

using namespace pelorin;
using namespace pelorin::linux_os;

const char* Environment(const char* name) {
  return std::getenv(name);
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
      std::fputs(VersionText(PELORIN_VERSION_TEXT).c_str(), stdout);
      return 0;
    case CommandLineAction::Refuse:
      std::fprintf(stderr, "%s\n", parsed.error.c_str());
      return kUsageExitStatus;
    case CommandLineAction::Run:
      break;
  }
  options = parsed.options;
  return std::nullopt;
}

// Whether the program shows its face on the desktop: not when asked to run
// headless, and not without an X display it can open (the toolkit would
// end the process), which it then says on standard error.
bool RunsOnDesktop(const Options& options) {
  if (options.headless ||
      !DisplayAvailable(Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"))) {
    return false;
  }
  std::string why;
  if (DisplayOpens(&why)) return true;
  std::fprintf(stderr, "pelorin: %s: running without windows\n", why.c_str());
  return false;
}

// Gives back to the system, once the start-up has run, the memory it used
// and freed: the allocator keeps freed pages amid its heap otherwise, and
// the start reads folders, settings and the bus's names only once.
//
// From then on a program that idles for days holds only what it uses.
// Blocks of 16 KiB and more (a long answer from the player) get pages of
// their own, which go back to the system when freed, and so does free
// memory above 16 KiB at the top of the heap; the allocator's defaults keep
// up to 128 KiB of both. Not before: during the start, that would hand
// pages back and fault them in again a moment later.
class StartUpMemoryRelease {
 public:
  explicit StartUpMemoryRelease(EventLoop& loop) : loop_(loop), timer_(TimerFd::Create()) {
    if (!timer_ || !timer_->Arm(std::chrono::seconds(2), false)) return;  // kept, then: no harm
    loop_.Watch(timer_->Fd(), [this] {
      (void)timer_->TakeExpirations();
      (void)mallopt(M_MMAP_THRESHOLD, 16 * 1024);
      (void)mallopt(M_TRIM_THRESHOLD, 16 * 1024);
      (void)malloc_trim(0);  // whether any was given back is no matter
      Stop();
    });
    watching_ = true;
  }
  ~StartUpMemoryRelease() { Stop(); }
  StartUpMemoryRelease(const StartUpMemoryRelease&) = delete;
  StartUpMemoryRelease& operator=(const StartUpMemoryRelease&) = delete;

 private:
  void Stop() {
    if (watching_) loop_.Unwatch(timer_->Fd());
    watching_ = false;
  }

  EventLoop& loop_;
  std::optional<TimerFd> timer_;
  bool watching_ = false;
};

// The program without windows: the event loop carries the timers, the
// signals, other copies' requests and the device watch, and no part of the
// desktop toolkit is touched.
int RunHeadless(LinuxBackends& backends, SignalFd& signals, const std::string& config) {
  OsError error;
  EventLoop loop;
  const std::unique_ptr<HeadlessWindow> window = HeadlessWindow::Create(loop, &error);
  if (!window) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(error).c_str());
    return 1;
  }
  HeadlessViews views;
  TerminalMessageBoxes message_boxes;
  Program program(backends.Services(message_boxes), views.Views(*window),
                  LinuxFacts(config, false));
  window->SetEvents(program);
  backends.FollowSettings(program.LiveSettings());

  OtherCopies other_copies(loop, backends.InstanceLocks(), program);
  AdapterArrivals adapters(loop, program);
  PlayerBusInput player_bus(loop, backends);
  WatchSignals(loop, signals, program, backends.Shell());

  program.Initialise();
  StartUpMemoryRelease release_start_up_memory(loop);
  if (const OsStatus ran = loop.Run(); !ran) {
    std::fprintf(stderr, "pelorin: %s\n", Describe(ran.error()).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

// The Linux program's entry point: reads the command line, passes "show"
// and "quit" to the running copy, or else builds the services and runs the
// program on the desktop or headless. The start-up proper runs from the
// first tick of the one-shot start-up timer, inside the loop.
int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> answered = ReadCommandLine(argc, argv, options)) return *answered;

  // Before any thread starts (the sound server's client and the toolkit
  // run some), so that every thread keeps these signals blocked and they
  // reach the loop only.
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

  const bool desktop = RunsOnDesktop(options);
  LinuxBackends backends;
  if (desktop) {
    std::string why;
    if (const std::optional<int> status =
            RunDesktopPart(argv[0], backends, *signals, config, &why)) {
      return *status;
    }
    std::fprintf(stderr, "pelorin: %s: running without windows\n", why.c_str());
  }
  return RunHeadless(backends, *signals, config);
}
