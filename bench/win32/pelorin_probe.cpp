// Measures the unchanged pelorin.exe under Wine from the Windows side:
//
//   pelorin_probe startup RUNS      start-up time, against the idle_timer baseline
//   pelorin_probe latency PRESSES   press-to-player-message latency
//   pelorin_probe idle SECONDS      idle CPU time and memory, against idle_timer
//                                   alone and idle_timer reading COM6's lines
//
// Runs under the serial stand-in with COM5, and COM6 for the idle mode
// (scripts/measure-performance.sh sets that up). The program is configured
// with COM5 as its primary port and defaults otherwise: CTS is hardware
// button 3, whose default is "Down/Up" with "Next track" on the press, i.e.
// WM_COMMAND 40048 posted to the player. Results go to standard output as
// "result <name> <value>" lines; anything else there is commentary.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "../probe_results.h"
#include "probe_support.h"
#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/child_process.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/unplug.h"
#include "support/windows.h"

namespace pelorin::measure {
namespace {

using e2e::Answers;
using e2e::ChildProcess;
using e2e::Scenario;
using pelorin::testing::StandinLines;
using pelorin::testing::StandInPlayer;

// The primary port COM5, no warnings, defaults otherwise.
constexpr char kConfig[] = "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\n";
constexpr unsigned kNextTrack = 40048;
constexpr long long kNoTime = -1;
// The port of the baseline that reads lines, beside the program's COM5.
constexpr int kLinesBaselinePort = 6;

bool LineUp(const StandinLines& lines, unsigned bit) {
  const auto state = lines.Read();
  return state && (*state & bit) != 0;
}

// The moments of one start of pelorin.exe, counted from CreateProcess.
struct StartMoments {
  long long port_open = kNoTime;  // DTR raised: the port opened inside the start-up
  long long answers = kNoTime;    // the window answers after that: the start-up has returned
  long long led_on = kNoTime;     // RTS raised by the first LED step
};

// Starts the program and follows its start-up until the LED is on; watches
// the lines every millisecond. The program stays up; its handle goes to `out`.
StartMoments StartProgram(Scenario& copy, StandinLines com5, std::unique_ptr<ChildProcess>& out) {
  StartMoments moments;
  // A closed port leaves the stand-in's outputs as they were: start from low.
  com5.Change(0, STANDIN_DTR | STANDIN_RTS);
  const long long start = Now();
  out = copy.Start();
  const DWORD begun = GetTickCount();
  while (out->Started() && GetTickCount() - begun < 20000) {
    if (moments.port_open == kNoTime && LineUp(com5, STANDIN_DTR))
      moments.port_open = Now() - start;
    if (moments.port_open != kNoTime && moments.answers == kNoTime &&
        Answers(e2e::FindPropertiesWindow())) {
      moments.answers = Now() - start;
    }
    if (moments.answers != kNoTime && LineUp(com5, STANDIN_RTS)) {
      moments.led_on = Now() - start;
      break;
    }
    Sleep(1);
  }
  return moments;
}

// The baseline: CreateProcess until idle_timer's window answers. With a
// `port` ("COM6") it reads that port's lines on every tick; its window only
// appears once the port is open and its lines have been read. `exe` is the
// program's Windows path (empty: idle_timer.exe itself).
long long StartIdleTimer(std::unique_ptr<ChildProcess>& out, const std::string& port = {},
                         const std::string& exe = {}) {
  const long long start = Now();
  std::string command =
      "\"" + (exe.empty() ? e2e::WindowsPathOf(IDLE_TIMER_UNIX_PATH) : exe) + "\"";
  if (!port.empty()) command += " " + port;
  out = std::make_unique<ChildProcess>(command);
  const DWORD begun = GetTickCount();
  while (out->Started() && GetTickCount() - begun < 20000) {
    if (Answers(FindWindowA("PelorinIdleTimer", nullptr))) return Now() - start;
    Sleep(1);
  }
  return kNoTime;
}

// The baseline that reads lines idles beside the bare one as a copy of
// idle_timer.exe under a name of its own (within the 15 characters of a
// host process name), so that the host's process list tells the two apart.
constexpr const char* kLinesBaselineImage = "idle_lines.exe";

std::string CopyOfIdleTimerForLines() {
  const std::string original = e2e::WindowsPathOf(IDLE_TIMER_UNIX_PATH);
  const std::string copy = original.substr(0, original.rfind('\\') + 1) + kLinesBaselineImage;
  return CopyFileA(original.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

// Ends the idle timers started: every window of their class is closed
// first, since two timers may run side by side; null entries are skipped.
void QuitIdleTimers(std::initializer_list<ChildProcess*> timers) {
  for (HWND window = nullptr;
       (window = FindWindowExA(nullptr, window, "PelorinIdleTimer", nullptr)) != nullptr;) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  for (ChildProcess* timer : timers) {
    if (timer && !timer->WaitForExit(10000)) timer->Kill();
  }
}

int MeasureStartup(int runs, StandinLines com5) {
  Scenario copy("measure");
  std::vector<double> port_open, answers, led_on, baseline;
  // Run -1 is a warm-up pair that is not counted: the first starts in a
  // fresh prefix also pay for Wine settling in (its services, font and
  // registry caches), which no later start does.
  for (int run = -1; run < runs; ++run) {
    const bool counted = run >= 0;
    std::unique_ptr<ChildProcess> idle;
    const long long idle_ready = StartIdleTimer(idle);
    if (counted && idle_ready != kNoTime) baseline.push_back(TicksToMs(idle_ready));
    QuitIdleTimers({idle.get()});

    // The program rewrites its configuration when it ends.
    copy.WriteConfig(kConfig);
    std::unique_ptr<ChildProcess> program;
    const StartMoments moments = StartProgram(copy, com5, program);
    Scenario::EndRunningCopy();
    if (moments.led_on == kNoTime) {
      std::printf("run %d: the program did not come up\n", run + 1);
      return 1;
    }
    if (!counted) continue;
    port_open.push_back(TicksToMs(moments.port_open));
    answers.push_back(TicksToMs(moments.answers));
    led_on.push_back(TicksToMs(moments.led_on));
    std::printf("run %d: port open %.1f ms, answers %.1f ms, LED on %.1f ms; idle_timer %.1f ms\n",
                run + 1, TicksToMs(moments.port_open), TicksToMs(moments.answers),
                TicksToMs(moments.led_on), idle_ready == kNoTime ? -1.0 : TicksToMs(idle_ready));
  }
  Summary("startup_port_open_ms", port_open);
  Summary("startup_answers_ms", answers);
  Summary("startup_led_on_ms", led_on);
  Summary("startup_idle_timer_ms", baseline);
  return 0;
}

// Waits up to two seconds for the player to record the next-track command;
// its arrival time, or kNoTime.
long long WaitForNextTrack(StandInPlayer& player) {
  const DWORD begun = GetTickCount();
  while (GetTickCount() - begun < 2000) {
    for (const std::string& line : player.TakeNew()) {
      const auto record = ParsePlayerRecord(line);
      if (record && record->window == "player" && record->posted && record->message == WM_COMMAND &&
          record->wparam == kNextTrack) {
        return record->arrival;
      }
    }
    Sleep(1);
  }
  return kNoTime;
}

int MeasureLatency(int presses, StandinLines com5) {
  StandInPlayer player({.timestamps = true});
  if (!player.Started()) {
    std::printf("the stand-in player did not start\n");
    return 1;
  }
  Scenario copy("measure");
  copy.WriteConfig(kConfig);
  std::unique_ptr<ChildProcess> program;
  if (StartProgram(copy, com5, program).led_on == kNoTime) {
    std::printf("the program did not come up\n");
    return 1;
  }
  player.TakeNew();  // whatever the start-up sent

  // A fixed seed: the same pauses in every run, spread over the 25 ms cycle.
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> pause_ms(50, 150);
  std::vector<double> latency, write_cost;
  int missed = 0;
  for (int press = 0; press < presses; ++press) {
    Sleep(static_cast<DWORD>(pause_ms(random)));
    const long long pressed = Now();
    com5.Change(STANDIN_CTS, 0);
    write_cost.push_back(TicksToMs(Now() - pressed));
    const long long arrival = WaitForNextTrack(player);
    com5.Change(0, STANDIN_CTS);
    if (arrival == kNoTime) {
      ++missed;
      continue;
    }
    latency.push_back(TicksToMs(arrival - pressed));
  }
  Scenario::EndRunningCopy();
  Summary("latency_ms", latency);
  Summary("line_write_ms", write_cost);
  Result("latency_presses", presses);
  Result("latency_missed", missed);
  return 0;
}

// A Wine process measured while it idles: its image name, the figures'
// prefix, and its host pid and usage at the start of the window.
struct IdleSubject {
  std::string name;
  std::string exe_name;
  std::string pid;
  std::optional<LinuxUsage> before;
};

// The smallest and largest ratio of `name`'s CPU time to `base`'s over the
// parts of an idle window, when both were measured in every part.
void ReportPartRatios(const std::vector<IdleSubject>& subjects,
                      const std::vector<std::vector<double>>& part_cpu, const std::string& name,
                      const std::string& base, const std::string& key) {
  const auto index_of = [&](const std::string& wanted) -> std::optional<std::size_t> {
    for (std::size_t i = 0; i < subjects.size(); ++i) {
      if (subjects[i].name == wanted) return i;
    }
    return std::nullopt;
  };
  const auto top = index_of(name);
  const auto bottom = index_of(base);
  if (!top || !bottom || part_cpu[*top].size() != part_cpu[*bottom].size()) return;
  std::vector<double> ratios;
  for (std::size_t part = 0; part < part_cpu[*top].size(); ++part) {
    if (part_cpu[*bottom][part] > 0) {
      ratios.push_back(part_cpu[*top][part] / part_cpu[*bottom][part]);
    }
  }
  if (ratios.empty()) return;
  const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
  Result(key + "_parts", static_cast<double>(ratios.size()));
  Result(key + "_min", *low);
  Result(key + "_max", *high);
}

// CPU time and memory of the Wine processes of `subjects` over the same
// `seconds` of idling, so that the host's load at the time weighs on all of
// them alike, and the CPU time of the session's wineserver (when its host
// pid is known) over that time, as `server_key`: every timer tick and window
// message of a Wine program passes through the server.
void MeasureIdle(std::vector<IdleSubject> subjects, int seconds,
                 const std::string& wineserver_pid, const std::string& server_key) {
  Sleep(1000);  // let the start-ups' own work settle
  for (IdleSubject& subject : subjects) {
    subject.pid = LinuxPidOf(subject.exe_name);
    subject.before = LinuxUsageOf(subject.pid);
  }
  const auto server_before = LinuxUsageOf(wineserver_pid);
  const long long start = Now();
  // The window in parts: how far the ratios move within one run tells a
  // change in the program from the shared machine's moods.
  constexpr int kParts = 6;
  std::vector<std::vector<double>> part_cpu(subjects.size());
  std::vector<std::optional<LinuxUsage>> last(subjects.size());
  for (std::size_t i = 0; i < subjects.size(); ++i) last[i] = subjects[i].before;
  for (int part = 0; part < kParts; ++part) {
    Sleep(static_cast<DWORD>(seconds) * 1000 / kParts);
    for (std::size_t i = 0; i < subjects.size(); ++i) {
      const auto now = LinuxUsageOf(subjects[i].pid);
      if (now && last[i]) part_cpu[i].push_back(now->cpu_ms - last[i]->cpu_ms);
      last[i] = now;
    }
  }
  const double wall_ms = TicksToMs(Now() - start);
  const auto server_after = LinuxUsageOf(wineserver_pid);
  ReportPartRatios(subjects, part_cpu, "pelorin", "idle_timer", "idle_ratio");
  ReportPartRatios(subjects, part_cpu, "pelorin", "idle_timer_lines", "idle_lines_ratio");
  for (const IdleSubject& subject : subjects) {
    const auto after = LinuxUsageOf(subject.pid);
    if (!subject.before || !after) {
      std::printf("%s: no figures for host process '%s'\n", subject.name.c_str(),
                  subject.pid.c_str());
      continue;
    }
    Result(subject.name + "_wall_ms", wall_ms);
    Result(subject.name + "_cpu_ms", after->cpu_ms - subject.before->cpu_ms);
    Result(subject.name + "_rss_kib", after->rss_kib);
    Result(subject.name + "_peak_rss_kib", after->peak_rss_kib);
    Result(subject.name + "_anon_kib", after->anon_kib);
  }
  if (server_before && server_after) {
    Result(server_key, server_after->cpu_ms - server_before->cpu_ms);
  }
}

int MeasureIdleCost(int seconds, StandinLines com5) {
  const char* server = std::getenv("PELORIN_MEASURE_WINESERVER_PID");
  const std::string wineserver_pid = server ? server : "";
  // The player is up throughout, as on a desk where the program is in use.
  StandInPlayer player({.timestamps = true});
  std::vector<IdleSubject> subjects;
  // The same timer reading the lines of a port of its own on the same
  // stand-in: what the stand-in's line read adds to a bare program. Started
  // first: its window appears only once it has read its port, and the bare
  // timer's window, of the same class, would answer for it.
  std::unique_ptr<ChildProcess> lines;
  const std::string port = "COM" + std::to_string(kLinesBaselinePort);
  const std::string lines_exe = CopyOfIdleTimerForLines();
  if (!pelorin::testing::StandinLines::ForPort(kLinesBaselinePort) || lines_exe.empty()) {
    std::printf("no stand-in port %d or no copy of idle_timer.exe: no figures for idle_timer "
                "reading lines\n", kLinesBaselinePort);
  } else if (StartIdleTimer(lines, port, lines_exe) == kNoTime) {
    // Exit code 4: the port could not be opened or its lines not read.
    std::printf("%s %s did not come up (exit code %lu): no figures for it\n", kLinesBaselineImage,
                port.c_str(), static_cast<unsigned long>(lines->ExitCode()));
  } else {
    subjects.push_back({"idle_timer_lines", kLinesBaselineImage, {}, {}});
  }
  std::unique_ptr<ChildProcess> bare;
  StartIdleTimer(bare);
  subjects.push_back({"idle_timer", "idle_timer.exe", {}, {}});
  Scenario copy("measure");
  copy.WriteConfig(kConfig);
  std::unique_ptr<ChildProcess> program;
  if (StartProgram(copy, com5, program).led_on == kNoTime) {
    QuitIdleTimers({bare.get(), lines.get()});
    return 1;
  }
  subjects.push_back({"pelorin", "pelorin.exe", {}, {}});
  MeasureIdle(subjects, seconds, wineserver_pid, "idle_wineserver_cpu_ms");
  QuitIdleTimers({bare.get(), lines.get()});
  // The same copy with its adapter unplugged: the port is lost and tried
  // again once a second, which must cost about what an open port costs.
  e2e::UnpluggablePort unpluggable(5);
  if (unpluggable.Unplug()) {
    MeasureIdle({{"pelorin_lost_port", "pelorin.exe", {}, {}}}, seconds, wineserver_pid,
                "pelorin_lost_port_wineserver_cpu_ms");
    unpluggable.Plug(0);
  } else {
    std::printf("COM5 could not be unplugged: no lost-port figures\n");
  }
  Scenario::EndRunningCopy();
  return 0;
}

}  // namespace
}  // namespace pelorin::measure

int main(int argc, char** argv) {
  using namespace pelorin::measure;
  if (argc != 3) {
    std::printf("usage: pelorin_probe startup|latency|idle COUNT\n");
    return 2;
  }
  const auto com5 = pelorin::testing::StandinLines::ForPort(5);
  if (!com5) {
    std::printf("run under the serial stand-in with port 5\n");
    return 2;
  }
  const std::string mode = argv[1];
  const int count = std::atoi(argv[2]);
  if (mode == "startup") return MeasureStartup(count, *com5);
  if (mode == "latency") return MeasureLatency(count, *com5);
  if (mode == "idle") return MeasureIdleCost(count, *com5);
  std::printf("unknown mode %s\n", mode.c_str());
  return 2;
}
