#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::measure {

// Time in QueryPerformanceCounter ticks. Under Wine the counter is the host's
// monotonic clock, so values taken in different processes compare directly.
long long Now();
double TicksToMs(long long ticks);

// A Windows path for a file of the Linux side (Wine maps Z: to the root).
std::string WindowsPathOf(const std::string& unix_path);

// A program started by the probe; ended (if still running) when the object
// goes away.
class Process {
 public:
  // Starts `command_line` in `directory` (empty: the probe's own); Started()
  // tells whether that worked.
  Process(const std::string& command_line, const std::string& directory = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return process_ != nullptr; }
  HANDLE Handle() const { return process_; }
  bool WaitForExit(DWORD timeout_ms);
  void Kill();

 private:
  HANDLE process_ = nullptr;
};

// What the host says about a process: CPU time used so far (user + system,
// all threads) and memory. Wine's GetProcessTimes reports no CPU time for
// other processes, so the figures come from /proc, read through the Z: drive.
struct LinuxUsage {
  double cpu_ms = 0;        // utime + stime, in clock ticks of 10 ms
  double rss_kib = 0;       // VmRSS: resident, shared Wine libraries included
  double peak_rss_kib = 0;  // VmHWM
  double anon_kib = 0;      // RssAnon: resident memory of the process's own
};
std::optional<LinuxUsage> LinuxUsageOf(const std::string& pid);

// The host process id of the Wine process whose image is `exe_name` (e.g.
// "pelorin.exe") and which runs in this probe's prefix; empty if none.
std::string LinuxPidOf(const std::string& exe_name);

// A window of another process that has come up and answers messages: the
// answer to a WM_NULL comes only once its thread is back in its message loop.
bool Answers(HWND window, DWORD timeout_ms = 10000);

// One line recorded by the stand-in player started with --timestamps.
struct PlayerRecord {
  std::string window;
  bool posted = false;
  unsigned message = 0;
  unsigned long long wparam = 0;
  long long arrival = 0;  // QueryPerformanceCounter at arrival
};

// The stand-in player (tests/e2e/stand_in_player.exe) with a timestamped log,
// and a reader that follows that log as it grows.
class StandInPlayer {
 public:
  explicit StandInPlayer(const std::string& log_path);
  ~StandInPlayer();
  StandInPlayer(const StandInPlayer&) = delete;
  StandInPlayer& operator=(const StandInPlayer&) = delete;

  bool Started() const { return started_; }
  // The records added to the log since the last call.
  std::vector<PlayerRecord> TakeNew();

 private:
  std::string log_path_;
  HANDLE event_ = nullptr;
  std::unique_ptr<Process> process_;
  long long read_offset_ = 0;
  std::string partial_line_;
  bool started_ = false;
};

// A copy of the unchanged pelorin.exe in a folder of its own, with the
// configuration the measurements use: the primary port COM5, no warnings,
// defaults otherwise.
class ProgramCopy {
 public:
  explicit ProgramCopy(const std::string& folder);
  // Rewrites the configuration file (the program rewrites it when it ends).
  void WriteConfig() const;
  std::string CommandLine() const { return "\"" + exe_path_ + "\""; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string exe_path_;
};

// The program's hidden main window, class "TForm1", caption "Pelorin Properties".
HWND FindProgramWindow();
// Ends the running program through its quit request and waits for its end.
bool QuitProgram(Process& program);

}  // namespace pelorin::measure
