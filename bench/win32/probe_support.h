#pragma once
#include <optional>
#include <string>

// What the probe measures with, beside the end-to-end harness
// (tests/e2e/support) that starts and drives the programs.
namespace pelorin::measure {

// Time in QueryPerformanceCounter ticks. Under Wine the counter is the host's
// monotonic clock, so values taken in different processes compare directly.
long long Now();
double TicksToMs(long long ticks);

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

// One line recorded by the stand-in player started with timestamps.
struct PlayerRecord {
  std::string window;
  bool posted = false;
  unsigned message = 0;
  unsigned long long wparam = 0;
  long long arrival = 0;  // QueryPerformanceCounter at arrival
};
std::optional<PlayerRecord> ParsePlayerRecord(const std::string& line);

}  // namespace pelorin::measure
