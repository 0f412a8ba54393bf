#include "probe_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/windows.h"

namespace pelorin::measure {
namespace {

long long Frequency() {
  static const long long frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return frequency;
}

}  // namespace

long long Now() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double TicksToMs(long long ticks) {
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(Frequency());
}

namespace {

std::string ReadLinuxFile(const std::string& path) {
  std::ifstream file(e2e::WindowsPathOf(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The number after `key` in /proc/<pid>/status ("VmRSS:  1234 kB").
double StatusField(const std::string& status, const std::string& key) {
  const auto at = status.find("\n" + key + ":");
  return at == std::string::npos ? 0 : std::atof(status.c_str() + at + key.size() + 2);
}

std::optional<double> CpuMsFromStat(const std::string& stat) {
  // Fields after the command name, which is in parentheses and may hold
  // blanks: state is field 3, utime field 14, stime field 15.
  const auto close = stat.rfind(')');
  if (close == std::string::npos || close + 2 > stat.size()) return std::nullopt;
  std::istringstream fields(stat.substr(close + 2));
  std::string skip;
  for (int field = 3; field < 14; ++field) fields >> skip;
  double utime = 0, stime = 0;
  if (!(fields >> utime >> stime)) return std::nullopt;
  return (utime + stime) * 10.0;
}

// The CPU time of every thread of `pid` from the scheduler's own count
// (/proc/<pid>/task/<tid>/schedstat: nanoseconds on a CPU). It is exact,
// where utime and stime are sampled at the kernel's tick, which a program
// waking for microseconds every 25 ms meets by chance. Nothing when the
// kernel keeps no such count.
std::optional<double> CpuMsOfThreads(const std::string& pid) {
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA(("Z:\\proc\\" + pid + "\\task\\*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return std::nullopt;
  double nanoseconds = 0;
  bool counted = false;
  do {
    const std::string thread = entry.cFileName;
    if (thread.find_first_not_of("0123456789") != std::string::npos) continue;
    std::istringstream fields(ReadLinuxFile("/proc/" + pid + "/task/" + thread + "/schedstat"));
    double on_cpu = 0;
    if (fields >> on_cpu) {
      nanoseconds += on_cpu;
      counted = true;
    }
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
  if (!counted) return std::nullopt;
  return nanoseconds / 1e6;
}

}  // namespace

std::optional<LinuxUsage> LinuxUsageOf(const std::string& pid) {
  if (pid.empty()) return std::nullopt;
  auto cpu = CpuMsOfThreads(pid);
  if (!cpu) cpu = CpuMsFromStat(ReadLinuxFile("/proc/" + pid + "/stat"));
  if (!cpu) return std::nullopt;
  const std::string status = ReadLinuxFile("/proc/" + pid + "/status");
  LinuxUsage usage;
  usage.cpu_ms = *cpu;
  usage.rss_kib = StatusField(status, "VmRSS");
  usage.peak_rss_kib = StatusField(status, "VmHWM");
  usage.anon_kib = StatusField(status, "RssAnon");
  return usage;
}

std::string LinuxPidOf(const std::string& exe_name) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) return {};
  const std::string own_prefix = std::string("WINEPREFIX=") + prefix + '\0';
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA("Z:\\proc\\*", &entry);
  if (listing == INVALID_HANDLE_VALUE) return {};
  std::string found;
  do {
    const std::string pid = entry.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (ReadLinuxFile("/proc/" + pid + "/comm") != exe_name + "\n") continue;
    const std::string environment = '\0' + ReadLinuxFile("/proc/" + pid + "/environ");
    if (environment.find('\0' + own_prefix) == std::string::npos) continue;
    found = pid;
  } while (found.empty() && FindNextFileA(listing, &entry));
  FindClose(listing);
  return found;
}

std::optional<PlayerRecord> ParsePlayerRecord(const std::string& line) {
  char window[16] = {};
  char kind[16] = {};
  PlayerRecord record;
  long long lparam = 0;
  if (std::sscanf(line.c_str(), "%15s %15s %u %llu %lld %lld", window, kind, &record.message,
                  &record.wparam, &lparam, &record.arrival) != 6) {
    return std::nullopt;
  }
  record.window = window;
  record.posted = std::string(kind) == "posted";
  return record;
}

}  // namespace pelorin::measure
