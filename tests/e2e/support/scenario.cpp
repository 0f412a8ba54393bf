#include "support/scenario.h"

#include <fstream>
#include <sstream>

#include "standin_state.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

void DeleteValue(HKEY root, const char* key, const char* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
    RegDeleteValueA(handle, value);
    RegCloseKey(handle);
  }
}

}  // namespace

Scenario::Scenario(const std::string& name) {
  EndRunningCopy();
  ClearRegistry();
  // Lines as a copy killed by an earlier scenario left them would pass for
  // this scenario's: every line of the stand-in ports starts low.
  for (int port : {5, 6}) {
    if (auto lines = pelorin::testing::StandinLines::ForPort(port)) {
      lines->Change(0, STANDIN_INPUTS | STANDIN_OUTPUTS);
    }
  }
  folder_ = "C:\\pelorin-e2e\\" + name;
  CreateDirectoryA("C:\\pelorin-e2e", nullptr);
  CreateDirectoryA(folder_.c_str(), nullptr);
  exe_path_ = folder_ + "\\pelorin.exe";
  DeleteFileA((folder_ + "\\Pelorin.ini").c_str());
  CopyFileA(WindowsPathOf(PELORIN_EXE_UNIX_PATH).c_str(), exe_path_.c_str(), FALSE);
}

Scenario::~Scenario() {
  EndRunningCopy();
  ClearRegistry();
}

std::unique_ptr<ChildProcess> Scenario::Start(const std::string& arguments) {
  std::string command = "\"" + exe_path_ + "\"";
  if (!arguments.empty()) command += " " + arguments;
  return std::make_unique<ChildProcess>(command, folder_);
}

void Scenario::WriteConfig(const std::string& text) const {
  std::ofstream file(ConfigPath(), std::ios::binary | std::ios::trunc);
  file << text;
}

std::unique_ptr<ChildProcess> Scenario::StartConfigured(const std::string& extra_config) {
  return StartWithConfig("[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n" +
                         extra_config);
}

std::unique_ptr<ChildProcess> Scenario::StartWithConfig(const std::string& config) {
  WriteConfig(config);
  auto program = Start();
  WaitUntil([] { return FindPropertiesWindow() != nullptr; });
  // The window exists before the start-up runs; the start-up has taken the
  // instance lock and read the settings once the port's DTR is up.
  if (auto com5 = pelorin::testing::StandinLines::ForPort(5)) {
    WaitUntil([&] {
      auto state = com5->Read();
      return state && (*state & STANDIN_DTR) != 0;
    });
  }
  return program;
}

HWND WaitForMessageBox(const std::string& caption, DWORD timeout_ms) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox(caption)) != nullptr; }, timeout_ms);
  return box;
}

LONG_PTR SendRequest(WPARAM request, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FindPropertiesWindow(), kWmUser, request, lparam, SMTO_ABORTIFHUNG, 5000,
                      &result);
  return static_cast<LONG_PTR>(result);
}

void Scenario::ClearRegistry() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntryPath);
  DeleteValue(HKEY_LOCAL_MACHINE, kRunKeyPath, kAutostartValueName);
  DeleteValue(HKEY_CURRENT_USER, kRunKeyPath, kAutostartValueName);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kPlayerUninstallKey, KEY_WOW64_32KEY, 0);
}

void Scenario::EndRunningCopy() {
  HWND window = FindPropertiesWindow();
  if (!window) return;
  // Wait for the process itself, not only its window: until it has gone it
  // still holds its port, and its last line levels could pass for the next
  // scenario's.
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, kWmUser, kQuitRequest, 0, SMTO_ABORTIFHUNG, 5000, &result);
  WaitUntil([] { return FindPropertiesWindow() == nullptr; }, 5000);
  if (process) {
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

std::string ReadRegistryString(HKEY root, const std::string& key, const std::string& value,
                               bool* found) {
  char data[2048] = {};
  DWORD size = sizeof(data) - 1;
  const bool ok = RegGetValueA(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, data,
                               &size) == ERROR_SUCCESS;
  if (found) *found = ok;
  return ok ? std::string(data) : std::string();
}

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace pelorin::e2e
