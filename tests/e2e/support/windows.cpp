#include "support/windows.h"

#include "platform/identity.h"

namespace pelorin::e2e {

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

HWND FindPropertiesWindow() {
  return FindWindowA(kMainWindowClass, kMainWindowCaption);
}

bool Answers(HWND window, DWORD timeout_ms) {
  DWORD_PTR result = 0;
  return window &&
         SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
}

namespace {

struct BoxSearch {
  std::string caption;
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<BoxSearch*>(lparam);
  char class_name[64] = {};
  GetClassNameA(hwnd, class_name, sizeof(class_name));
  if (std::string(class_name) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
  char title[256] = {};
  GetWindowTextA(hwnd, title, sizeof(title));
  DWORD owner_process = 0;
  GetWindowThreadProcessId(hwnd, &owner_process);
  if (search->caption == title &&
      (search->process_id == 0 || search->process_id == owner_process)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lparam) {
  char class_name[64] = {};
  GetClassNameA(hwnd, class_name, sizeof(class_name));
  if (std::string(class_name) == "#32770" && IsWindowVisible(hwnd)) {
    reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(hwnd);
  }
  return TRUE;
}

}  // namespace

HWND FindMessageBox(const std::string& caption, DWORD process_id) {
  BoxSearch search{caption, process_id, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string MessageBoxText(HWND box) {
  // The message text is the static control with id 0xFFFF.
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  return text;
}

void PressMessageBoxButton(HWND box, int id) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

std::vector<HWND> MessageBoxesShown() {
  std::vector<HWND> boxes;
  EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

std::string ExecutableDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path);
  return text.substr(0, text.rfind('\\'));
}

std::string WindowsPathOf(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string BuiltProgramPath() {
  return WindowsPathOf(PELORIN_EXE_UNIX_PATH);
}

std::string StandInPlayerPath() {
  return WindowsPathOf(STAND_IN_PLAYER_UNIX_PATH);
}

}  // namespace pelorin::e2e
