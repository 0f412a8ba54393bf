// The baseline for the idle cost of the program under Wine: the least a
// resident Win32 program with a 25 ms window timer can cost. One hidden
// window, one timer, an empty handler, the standard message loop. Ends on
// WM_CLOSE.
//
//   idle_timer.exe        the bare timer
//   idle_timer.exe COM6   the same, and one GetCommModemStatus of COM6 on
//                         every tick: the least a program that polls a port
//                         can cost, so that the port's own part of the idle
//                         cost can be told apart from the program's.
//
// It uses no C++ library, so that its size stays that of a bare program.
#include <windows.h>

namespace {

constexpr char kClassName[] = "PelorinIdleTimer";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kIntervalMs = 25;

// Exit codes a probe can tell apart.
constexpr int kNoClass = 1;
constexpr int kNoWindow = 2;
constexpr int kBadPortName = 3;
constexpr int kPortUnusable = 4;

// The port whose lines are read on every tick, when one is named.
class PolledPort {
 public:
  PolledPort() = default;
  ~PolledPort() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  PolledPort(const PolledPort&) = delete;
  PolledPort& operator=(const PolledPort&) = delete;

  // Opens `device` (a "\\.\COMn" path) as a program that owns the port does:
  // read and write, no sharing. Then reads its lines once, so that a port
  // without modem lines is refused here instead of being measured as a
  // cheaper failing call.
  bool Open(const wchar_t* device) {
    handle_ =
        CreateFileW(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD lines = 0;
    return handle_ != INVALID_HANDLE_VALUE && GetCommModemStatus(handle_, &lines);
  }

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  void ReadLines() const {
    DWORD lines = 0;
    GetCommModemStatus(handle_, &lines);  // the call is what is measured, not its answer
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

PolledPort polled_port;

// The device path of the port named on the command line ("COM6" gives
// "\\.\COM6"). A name is letters and digits only, at most 15 of them, and
// nothing follows it; false for anything else, an empty name included.
bool DevicePathOf(const char* command_line, wchar_t (&path)[20]) {
  while (*command_line == ' ' || *command_line == '\t') ++command_line;
  const wchar_t prefix[] = L"\\\\.\\";
  int length = 0;
  for (; prefix[length] != L'\0'; ++length) path[length] = prefix[length];
  const int name_start = length;
  for (; *command_line != '\0' && *command_line != ' ' && *command_line != '\t'; ++command_line) {
    const char c = *command_line;
    const bool letter_or_digit =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letter_or_digit || length + 1 >= 20) return false;
    path[length++] = static_cast<wchar_t>(c);  // ASCII, so the same code in UTF-16
  }
  while (*command_line == ' ' || *command_line == '\t') ++command_line;
  path[length] = L'\0';
  return *command_line == '\0' && length > name_start;
}

bool NamesNoPort(const char* command_line) {
  while (*command_line == ' ' || *command_line == '\t') ++command_line;
  return *command_line == '\0';
}

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      // The empty handler being measured, or only the line read.
      if (polled_port.IsOpen()) polled_port.ReadLines();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  if (!NamesNoPort(command_line)) {
    wchar_t device[20];
    if (!DevicePathOf(command_line, device)) return kBadPortName;
    if (!polled_port.Open(device)) return kPortUnusable;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = IdleProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return kNoClass;
  HWND window = CreateWindowExA(0, kClassName, kClassName, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return kNoWindow;
  SetTimer(window, kTimerId, kIntervalMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
