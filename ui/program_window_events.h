#pragma once
#include <cstdint>

#include "ui/program_window.h"

namespace pelorin {

// The handlers of the properties window: the Win32 view forwards every timer
// tick and message to them, on the user-interface thread.
class ProgramWindowEvents {
 public:
  virtual ~ProgramWindowEvents() = default;
  virtual void OnTimer(WindowTimer timer) = 0;
  // WM_USER from another copy (show request, port handle query, quit).
  virtual std::intptr_t OnUserMessage(std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // The tray icon's callback with the mouse message.
  virtual void TrayMessage(std::uint32_t mouse_message) = 0;
  virtual void OnTrayMenu(TrayMenuItem item) = 0;
  // A close request; true lets the window close and the program end.
  virtual bool OnCloseRequest() = 0;
  // Windows asks whether the session may end; true allows it. The session
  // may still go on (another program refuses, the user cancels), so nothing
  // that would stop the program from running may happen here.
  virtual bool OnSessionEndQuery() = 0;
  // The session really ends: the program ends in order before returning,
  // since Windows may end the process at any moment afterwards.
  virtual void OnSessionEnd() = 0;
  // The taskbar was re-created (the shell restarted).
  virtual void OnTaskbarCreated() = 0;
  // The window was just shown.
  virtual void OnShown() = 0;
  // The system announced that a serial port arrived (an adapter was plugged
  // in); which one does not matter.
  virtual void PortArrived() = 0;
};

}  // namespace pelorin
