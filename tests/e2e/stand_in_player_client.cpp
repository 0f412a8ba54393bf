#include "stand_in_player_client.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace pelorin::testing {
namespace {

constexpr UINT kSetStatus = WM_APP + 1;
constexpr UINT kSetPosition = WM_APP + 2;
constexpr UINT kSync = WM_APP + 3;
constexpr UINT kHang = WM_APP + 4;
constexpr UINT kQuit = WM_APP + 5;
constexpr DWORD kWaitMs = 10000;

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\'));
}

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

  std::string command = "\"" + ProgramFolder() + "\\stand_in_player.exe\" \"--log=" + log_path_ +
                        "\" --sync=" + event_name_ + " --status=" + std::to_string(options.status) +
                        " --position=" + std::to_string(options.position);
  if (options.editor) command += " --editor";
  if (options.slider) command += " --slider";
  if (!options.playlist.empty()) command += " \"--playlist=" + options.playlist + "\"";
  if (!options.playlist_dir.empty()) command += " \"--playlist-dir=" + options.playlist_dir + "\"";

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  if (WaitForSingleObject(event_, kWaitMs) != WAIT_OBJECT_0) return;
  window_ = reinterpret_cast<std::uintptr_t>(FindWindowA("Winamp v1.x", nullptr));
  started_ = window_ != 0;
}

StandInPlayer::~StandInPlayer() {
  if (process_) {
    if (window_) PostControl(kQuit, 0);
    if (WaitForSingleObject(process_, kWaitMs) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
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
  std::vector<std::string> lines = Log();
  std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(taken_), lines.end());
  taken_ = lines.size();
  return fresh;
}

TempFolder::TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + UniqueName("pelorin_e2e_");
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((path_ + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string TempFolder::Write(const std::string& name, const std::string& text) const {
  const std::string path = path_ + "\\" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

}  // namespace pelorin::testing
