#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace pelorin::e2e {

// Polls `done` every 20 ms until it holds or `timeout_ms` passes. Waiting is
// what a test of another process does; the program itself never sleeps.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = 10000);

// The program's properties window: class "TForm1", caption "Pelorin Properties".
HWND FindPropertiesWindow();
// Whether a window of another process has come up and answers messages: the
// answer to a WM_NULL comes only once its thread is back in its message loop.
bool Answers(HWND window, DWORD timeout_ms = 10000);

// A message box (dialog class "#32770") with caption `caption` belonging to
// process `process_id` (0: any process); null when none is up.
HWND FindMessageBox(const std::string& caption, DWORD process_id = 0);
// The text of a message box.
std::string MessageBoxText(HWND box);
// Presses button `id` (IDOK, IDYES, IDNO ...) of a message box.
void PressMessageBoxButton(HWND box, int id);

// Visible top-level windows of class "#32770" in any process, for a check
// that nothing popped up.
std::vector<HWND> MessageBoxesShown();

// Paths: the test program's directory, and a Unix path as Wine shows it.
std::string ExecutableDirectory();
std::string WindowsPathOf(const std::string& unix_path);
// Where the build put the unchanged pelorin.exe and the stand-in player, as
// Windows paths.
std::string BuiltProgramPath();
std::string StandInPlayerPath();

}  // namespace pelorin::e2e
