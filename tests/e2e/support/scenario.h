#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "platform/identity.h"
#include "support/child_process.h"

namespace pelorin::e2e {

// Where the player's installer registers it (in the 32-bit view).
inline constexpr const char* kPlayerUninstallKey = kPlayerUninstallKeyPath;

// One end-to-end scenario: a fresh folder holding a copy of the unchanged
// pelorin.exe (so the configuration file beside it starts absent), and no
// registry traces of earlier runs. Cleans up again when it ends, and ends any
// copy of the program that a failed test left running.
class Scenario {
 public:
  explicit Scenario(const std::string& name);
  ~Scenario();
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  const std::string& Folder() const { return folder_; }
  const std::string& ExePath() const { return exe_path_; }
  // Starts the program with `arguments`.
  std::unique_ptr<ChildProcess> Start(const std::string& arguments = {});
  // Writes the configuration file beside the program.
  void WriteConfig(const std::string& text) const;
  std::string ConfigPath() const { return folder_ + "\\Pelorin.ini"; }
  // Starts the program with a configuration for `port` in the given mode
  // (no warnings, LED on while running) and waits until it runs: its
  // window exists and its start-up is over (the port's DTR is raised).
  std::unique_ptr<ChildProcess> StartConfigured(const std::string& extra_config = {});
  // The same with the whole configuration file given.
  std::unique_ptr<ChildProcess> StartWithConfig(const std::string& config);

  // Removes every registry value and key the program writes, and the
  // player's registration a test may have made.
  static void ClearRegistry();
  // Ends a running copy through its quit request, if one is up.
  static void EndRunningCopy();

 private:
  std::string folder_;
  std::string exe_path_;
};

// Registry reads for checks; empty with `found` false when absent.
std::string ReadRegistryString(HKEY root, const std::string& key, const std::string& value,
                               bool* found = nullptr);

// Waits for the message box `caption` of the program and checks its text;
// returns the box (null after the timeout).
HWND WaitForMessageBox(const std::string& caption, DWORD timeout_ms = 10000);

// Sends a WM_USER request to the running program; the result.
LONG_PTR SendRequest(WPARAM request, LPARAM lparam = 0);

// The whole content of a file; empty when missing.
std::string ReadFileText(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace pelorin::e2e
