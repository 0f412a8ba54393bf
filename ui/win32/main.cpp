#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/main_form.h"
#include "platform/win32/named_mutex.h"
#include "ui/win32/main_window.h"

// The program's entry point: creates the hidden properties window with its
// timers and runs the message loop. The start-up proper (ProgramInit) runs
// from the first tick of the one-shot start-up timer.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  pelorin::win32::MainWindow window;
  pelorin::win32::NamedMutexLocks instance_locks;
  pelorin::MainForm form({window, instance_locks},
                         std::string(pelorin::FirstArgument(command_line ? command_line : "")));
  if (!window.Create(instance, form)) return 1;
  window.StartTimer(pelorin::FormTimer::FormMiscTimer);
  window.StartTimer(pelorin::FormTimer::TimerLED);
  return window.RunMessageLoop();
}
