#include "stand_in_player_client.h"

#include <windows.h>

#include <fstream>

#include "support/child_process.h"
#include "support/windows.h"

namespace pelorin::testing {
namespace {

constexpr UINT kSetStatus = WM_APP + 1;
constexpr UINT kSetPosition = WM_APP + 2;
constexpr UINT kSync = WM_APP + 3;
constexpr UINT kHang = WM_APP + 4;
constexpr UINT kQuit = WM_APP + 5;
constexpr DWORD kWaitMs = 10000;

std::string UniqueName(const char* stem) {
  static int counter = 0;
  return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(++counter);
}

}  // namespace

StandInPlayer::StandInPlayer(const Options& options) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  log_path_ = std::string(temp) + UniqueName("stand_in_log_") + ".txt";
  event_name_ = UniqueName("PelorinStandInSync_");
  event_ = CreateEventA(nullptr, FALSE, FALSE, event_name_.c_str());

  std::string command = "\"" + e2e::StandInPlayerPath() + "\" \"--log=" + log_path_ +
                        "\" --sync=" + event_name_ + " --status=" + std::to_string(options.status) +
                        " --position=" + std::to_string(options.position);
  if (options.editor) command += " --editor";
  if (options.slider) command += " --slider";
  if (options.timestamps) command += " --timestamps";
  if (!options.playlist.empty()) command += " \"--playlist=" + options.playlist + "\"";
  if (!options.playlist_dir.empty()) command += " \"--playlist-dir=" + options.playlist_dir + "\"";

  process_ = std::make_unique<e2e::ChildProcess>(command);
  if (!process_->Started() || WaitForSingleObject(event_, kWaitMs) != WAIT_OBJECT_0) return;
  window_ = reinterpret_cast<std::uintptr_t>(FindWindowA("Winamp v1.x", nullptr));
  started_ = window_ != 0;
}

StandInPlayer::~StandInPlayer() {
  if (process_->Started()) {
    if (window_) PostControl(kQuit, 0);
    if (!process_->WaitForExit(kWaitMs)) process_->Kill();
  }
  if (event_) CloseHandle(event_);
  DeleteFileA(log_path_.c_str());
}

void StandInPlayer::PostControl(unsigned message, std::uintptr_t wparam) {
  PostMessageA(reinterpret_cast<HWND>(window_), message, wparam, 0);
}

void StandInPlayer::SetStatus(int status) {
  PostControl(kSetStatus, static_cast<WPARAM>(status));
}
void StandInPlayer::SetPosition(int position) {
  PostControl(kSetPosition, static_cast<WPARAM>(position));
}
void StandInPlayer::Hang(unsigned ms) {
  // Sent rather than posted: it then comes before any message sent after it,
  // even while the stand-in has not woken up yet. The short wait only hands
  // it over; the stand-in is hung once it is received.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(reinterpret_cast<HWND>(window_), kHang, ms, 0, SMTO_NORMAL, 50, &ignored);
}

bool StandInPlayer::Sync() {
  PostControl(kSync, 0);
  return WaitForSingleObject(event_, kWaitMs) == WAIT_OBJECT_0;
}

std::vector<std::string> StandInPlayer::Log() const {
  std::ifstream file(log_path_);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> StandInPlayer::TakeNew() {
  std::vector<std::string> lines;
  HANDLE file = CreateFileA(log_path_.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
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
  // Only whole lines count; the rest waits for the next call. The stand-in
  // writes its log in text mode, so lines end in CR LF.
  std::size_t start = 0;
  for (std::size_t end; (end = partial_line_.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::string line = partial_line_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  partial_line_.erase(0, start);
  return lines;
}

}  // namespace pelorin::testing
