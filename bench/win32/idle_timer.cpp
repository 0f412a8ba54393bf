// The baseline for the idle cost of the program under Wine: the least a
// resident Win32 program with a 25 ms window timer can cost. One hidden
// window, one timer, an empty handler, the standard message loop. Ends on
// WM_CLOSE.
#include <windows.h>

namespace {

constexpr char kClassName[] = "PelorinIdleTimer";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kIntervalMs = 25;

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      return 0;  // the empty handler being measured
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = IdleProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, kClassName, kClassName, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  SetTimer(window, kTimerId, kIntervalMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
