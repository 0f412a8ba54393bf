// Measures the native `pelorin` from outside, as a media player on the
// session bus that it controls ("org.mpris.MediaPlayer2.probe", always
// playing):
//
//   mpris_probe latency PRESSES        press on the serial stand-in to the
//                                      player's Next() call
//   mpris_probe startup RUNS -- CMD... start to CMD holding port 1 of the
//                                      stand-in (DTR raised), just before its
//                                      first poll cycle
//   mpris_probe startup-baseline RUNS -- CMD...
//                                      start to the first byte CMD writes (the
//                                      idle_timerfd baseline, once its timer
//                                      is set)
//   mpris_probe serve SECONDS          only plays the player, for idle figures
//
// `latency` drives port 1 of the stand-in it runs under
// (PELORIN_STANDIN_COM1): CTS is hardware button 3, whose default is
// "Down/Up" with "Next track" on the press. Results go to standard output as
// "result <name> <value>" lines, times in milliseconds.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "../probe_results.h"
#include "standin_state.h"
#include "support/standin_lines.h"

extern char** environ;

namespace {

using pelorin::measure::Result;
using pelorin::measure::Summary;

constexpr const char* kBusName = "org.mpris.MediaPlayer2.probe";
constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// What the player has seen since the last look.
struct Calls {
  int next = 0;
  int any = 0;
  double volume = 1.0;
};

int OnMethod(sd_bus_message* message, void* userdata, sd_bus_error* /*error*/) {
  auto* calls = static_cast<Calls*>(userdata);
  ++calls->any;
  if (std::strcmp(sd_bus_message_get_member(message), "Next") == 0) ++calls->next;
  return sd_bus_reply_method_return(message, "");
}

int OnSeek(sd_bus_message* message, void* userdata, sd_bus_error* /*error*/) {
  ++static_cast<Calls*>(userdata)->any;
  return sd_bus_reply_method_return(message, "");
}

int GetText(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/, const char* property,
            sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/) {
  ++static_cast<Calls*>(userdata)->any;
  const char* value = "";
  if (std::strcmp(property, "PlaybackStatus") == 0) value = "Playing";
  if (std::strcmp(property, "LoopStatus") == 0) value = "None";
  if (std::strcmp(property, "Identity") == 0) value = "Pelorin probe";
  return sd_bus_message_append(reply, "s", value);
}

int GetFlag(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/, const char* property,
            sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/) {
  ++static_cast<Calls*>(userdata)->any;
  const int value =
      std::strcmp(property, "Shuffle") == 0 || std::strcmp(property, "HasTrackList") == 0 ? 0 : 1;
  return sd_bus_message_append(reply, "b", value);
}

int GetVolume(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/,
              const char* /*property*/, sd_bus_message* reply, void* userdata,
              sd_bus_error* /*error*/) {
  return sd_bus_message_append(reply, "d", static_cast<Calls*>(userdata)->volume);
}

int SetVolume(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/,
              const char* /*property*/, sd_bus_message* value, void* userdata,
              sd_bus_error* /*error*/) {
  return sd_bus_message_read(value, "d", &static_cast<Calls*>(userdata)->volume);
}

int GetPosition(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/,
                const char* /*property*/, sd_bus_message* reply, void* /*userdata*/,
                sd_bus_error* /*error*/) {
  return sd_bus_message_append(reply, "x", static_cast<int64_t>(0));
}

int GetMetadata(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/,
                const char* /*property*/, sd_bus_message* reply, void* /*userdata*/,
                sd_bus_error* /*error*/) {
  return sd_bus_message_append(reply, "a{sv}", 1, "mpris:trackid", "o",
                               "/org/mpris/MediaPlayer2/Track/1");
}

const sd_bus_vtable kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", OnMethod, 0),
    SD_BUS_METHOD("Quit", "", "", OnMethod, 0),
    SD_BUS_PROPERTY("Identity", "s", GetText, 0, 0),
    SD_BUS_PROPERTY("CanQuit", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanRaise", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("HasTrackList", "b", GetFlag, 0, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", OnMethod, 0),
    SD_BUS_METHOD("Previous", "", "", OnMethod, 0),
    SD_BUS_METHOD("Play", "", "", OnMethod, 0),
    SD_BUS_METHOD("Pause", "", "", OnMethod, 0),
    SD_BUS_METHOD("PlayPause", "", "", OnMethod, 0),
    SD_BUS_METHOD("Stop", "", "", OnMethod, 0),
    SD_BUS_METHOD("Seek", "x", "", OnSeek, 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", GetText, 0, 0),
    SD_BUS_PROPERTY("LoopStatus", "s", GetText, 0, 0),
    SD_BUS_PROPERTY("Shuffle", "b", GetFlag, 0, 0),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", GetVolume, SetVolume, 0, 0),
    SD_BUS_PROPERTY("Position", "x", GetPosition, 0, 0),
    SD_BUS_PROPERTY("Metadata", "a{sv}", GetMetadata, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanGoPrevious", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanPlay", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanPause", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanSeek", "b", GetFlag, 0, 0),
    SD_BUS_PROPERTY("CanControl", "b", GetFlag, 0, 0),
    SD_BUS_VTABLE_END,
};

// The player on the session bus, served from this thread.
class Player {
 public:
  Player() {
    if (sd_bus_open_user(&bus_) < 0 ||
        sd_bus_add_object_vtable(bus_, nullptr, kObjectPath, "org.mpris.MediaPlayer2", kRootTable,
                                 &calls_) < 0 ||
        sd_bus_add_object_vtable(bus_, nullptr, kObjectPath, "org.mpris.MediaPlayer2.Player",
                                 kPlayerTable, &calls_) < 0 ||
        sd_bus_request_name(bus_, kBusName, 0) < 0) {
      std::fprintf(stderr, "mpris_probe: cannot serve %s on the session bus\n", kBusName);
      std::exit(1);
    }
  }
  ~Player() { sd_bus_flush_close_unref(bus_); }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Serves calls until `done` holds or `until_ms` passes; false on time-out.
  template <typename Done>
  bool ServeUntil(Done done, double until_ms) {
    while (!done()) {
      const int processed = sd_bus_process(bus_, nullptr);
      if (processed < 0) return false;
      if (processed > 0) continue;
      const double left = until_ms - NowMs();
      if (left <= 0) return false;
      sd_bus_wait(bus_, static_cast<uint64_t>(left * 1000));
    }
    return true;
  }
  void ServeFor(double ms) {
    const double until = NowMs() + ms;
    ServeUntil([] { return false; }, until);
  }

  Calls& calls() { return calls_; }

 private:
  sd_bus* bus_ = nullptr;
  Calls calls_;
};

int Latency(int presses) {
  auto lines = pelorin::testing::StandinLines::ForPort(1);
  if (!lines) {
    std::fprintf(stderr, "mpris_probe: not under the serial stand-in (PELORIN_STANDIN_COM1)\n");
    return 1;
  }
  Player player;
  Calls& calls = player.calls();
  // The program looks for players at every cycle: within a second it has
  // seen this one.
  player.ServeFor(1000);
  std::mt19937 random(16);
  std::uniform_real_distribution<double> pause_ms(50, 150);
  std::vector<double> samples;
  for (int i = 0; i < presses; ++i) {
    const int before = calls.next;
    const double pressed = NowMs();
    lines->SetInputs(STANDIN_CTS);
    if (player.ServeUntil([&] { return calls.next > before; }, pressed + 2000)) {
      samples.push_back(NowMs() - pressed);
    } else {
      std::fprintf(stderr, "mpris_probe: press %d reached no Next() within 2 s\n", i);
    }
    lines->SetInputs(0);
    player.ServeFor(pause_ms(random));
  }
  Summary("linux_latency", samples);
  return samples.size() == static_cast<std::size_t>(presses) ? 0 : 1;
}

pid_t Spawn(char** argv, int stdout_fd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdout_fd >= 0) posix_spawn_file_actions_adddup2(&actions, stdout_fd, STDOUT_FILENO);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void EndChild(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Waits up to `ms` for a write to the stand-in's file of the port (every
// change of a line rewrites it; reading it writes nothing), so that a raised line is
// seen when it is raised and not at the next look: the baseline's start is
// read from a pipe, which wakes its reader at once.
void AwaitLineChange(int changes, double ms) {
  pollfd watched{changes, POLLIN, 0};
  if (poll(&watched, 1, std::max(1, static_cast<int>(ms))) <= 0) return;
  alignas(inotify_event) char events[4096];
  while (read(changes, events, sizeof events) > 0) {
  }
}

// How long each started program runs on after its start is seen.
constexpr int kRunAfterStartMs = 300;

// Start-up ends when the program holds its port: it raises DTR as it opens
// it, right before its first poll cycle.
int Startup(int runs, char** command) {
  auto lines = pelorin::testing::StandinLines::ForPort(1);
  if (!lines) {
    std::fprintf(stderr, "mpris_probe: not under the serial stand-in (PELORIN_STANDIN_COM1)\n");
    return 1;
  }
  const int changes = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (changes < 0 || inotify_add_watch(changes, lines->path().c_str(), IN_MODIFY) < 0) {
    std::fprintf(stderr, "mpris_probe: cannot watch %s\n", lines->path().c_str());
    return 1;
  }
  Player player;
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    lines->Change(0, STANDIN_DTR | STANDIN_RTS);
    AwaitLineChange(changes, 0);  // the probe's own change
    const double started = NowMs();
    const pid_t pid = Spawn(command, -1);
    if (pid < 0) return 1;
    while (NowMs() - started < 10000) {
      const std::optional<unsigned> now = lines->Read();
      if (now && (*now & STANDIN_DTR) != 0) {
        samples.push_back(NowMs() - started);
        break;
      }
      AwaitLineChange(changes, 100);
    }
    player.ServeFor(kRunAfterStartMs);  // a few cycles with the player before the end
    EndChild(pid);
  }
  close(changes);
  Summary("linux_startup", samples);
  return 0;
}

int StartupBaseline(int runs, char** command) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return 1;
    const double started = NowMs();
    const pid_t pid = Spawn(command, pipe_fds[1]);
    close(pipe_fds[1]);
    char byte = 0;
    if (pid > 0 && read(pipe_fds[0], &byte, 1) == 1) samples.push_back(NowMs() - started);
    close(pipe_fds[0]);
    // As long as the program's runs: the machine idles alike before each
    // start (an idle processor takes a while to come up to speed).
    usleep(kRunAfterStartMs * 1000);
    if (pid > 0) EndChild(pid);
  }
  Summary("linux_baseline_startup", samples);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 0;
  char** command = argc > 4 && std::strcmp(argv[3], "--") == 0 ? argv + 4 : nullptr;
  if (mode == "latency" && count > 0) return Latency(count);
  if (mode == "startup" && count > 0 && command) return Startup(count, command);
  if (mode == "startup-baseline" && count > 0 && command) return StartupBaseline(count, command);
  if (mode == "serve" && count > 0) {
    Player player;
    player.ServeFor(count * 1000.0);
    return 0;
  }
  std::fprintf(stderr,
               "usage: mpris_probe latency PRESSES | startup RUNS -- CMD... |\n"
               "       startup-baseline RUNS -- CMD... | serve SECONDS\n");
  return 2;
}
