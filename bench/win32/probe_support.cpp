#include "probe_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/identity.h"

namespace pelorin::measure {
namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr UINT kPlayerQuit = WM_APP + 5;  // the stand-in player's own end request

long long Frequency() {
  static const long long frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return frequency;
}

std::optional<PlayerRecord> ParseRecord(const std::string& line) {
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

}  // namespace

long long Now() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double TicksToMs(long long ticks) {
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(Frequency());
}

std::string WindowsPathOf(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

Process::Process(const std::string& command_line, const std::string& directory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string text = command_line;
  if (CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
  }
}

Process::~Process() {
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  if (process_) CloseHandle(process_);
}

bool Process::WaitForExit(DWORD timeout_ms) {
  return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

void Process::Kill() {
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 5000);
}

namespace {

std::string ReadLinuxFile(const std::string& path) {
  std::ifstream file(WindowsPathOf(path), std::ios::binary);
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

}  // namespace

std::optional<LinuxUsage> LinuxUsageOf(const std::string& pid) {
  if (pid.empty()) return std::nullopt;
  const auto cpu = CpuMsFromStat(ReadLinuxFile("/proc/" + pid + "/stat"));
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

bool Answers(HWND window, DWORD timeout_ms) {
  DWORD_PTR result = 0;
  return window &&
         SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
}

StandInPlayer::StandInPlayer(const std::string& log_path) : log_path_(log_path) {
  DeleteFileA(log_path_.c_str());
  const std::string event_name = "PelorinProbeSync" + std::to_string(GetCurrentProcessId());
  event_ = CreateEventA(nullptr, FALSE, FALSE, event_name.c_str());
  process_ = std::make_unique<Process>("\"" + WindowsPathOf(STAND_IN_PLAYER_UNIX_PATH) +
                                       "\" \"--log=" + log_path_ + "\" --sync=" + event_name +
                                       " --timestamps");
  started_ = process_->Started() && WaitForSingleObject(event_, kStartTimeoutMs) == WAIT_OBJECT_0 &&
             FindWindowA("Winamp v1.x", nullptr) != nullptr;
}

StandInPlayer::~StandInPlayer() {
  if (HWND player = FindWindowA("Winamp v1.x", nullptr)) PostMessageA(player, kPlayerQuit, 0, 0);
  if (!process_->WaitForExit(kStartTimeoutMs)) process_->Kill();
  if (event_) CloseHandle(event_);
  DeleteFileA(log_path_.c_str());
}

std::vector<PlayerRecord> StandInPlayer::TakeNew() {
  std::vector<PlayerRecord> records;
  HANDLE file = CreateFileA(log_path_.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return records;
  LARGE_INTEGER offset{};
  offset.QuadPart = read_offset_;
  SetFilePointerEx(file, offset, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    read_offset_ += got;
    partial_line_.append(buffer, got);
  }
  CloseHandle(file);
  // Only whole lines count; the rest waits for the next call.
  std::size_t start = 0;
  for (std::size_t end; (end = partial_line_.find('\n', start)) != std::string::npos;
       start = end + 1) {
    if (auto record = ParseRecord(partial_line_.substr(start, end - start))) {
      records.push_back(*record);
    }
  }
  partial_line_.erase(0, start);
  return records;
}

ProgramCopy::ProgramCopy(const std::string& folder) : folder_(folder) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  exe_path_ = folder_ + "\\pelorin.exe";
  CopyFileA(WindowsPathOf(PELORIN_EXE_UNIX_PATH).c_str(), exe_path_.c_str(), FALSE);
}

void ProgramCopy::WriteConfig() const {
  std::ofstream file(folder_ + "\\" + kDefaultConfigFileName, std::ios::binary | std::ios::trunc);
  file << "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\n";
}

HWND FindProgramWindow() {
  return FindWindowA(kMainWindowClass, kMainWindowCaption);
}

bool QuitProgram(Process& program) {
  if (HWND window = FindProgramWindow()) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, kWmUser, kQuitRequest, 0, SMTO_ABORTIFHUNG, 5000, &result);
  }
  if (program.WaitForExit(10000)) return true;
  program.Kill();
  return false;
}

}  // namespace pelorin::measure
