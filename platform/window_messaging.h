#pragma once
#include <cstdint>
#include <string_view>

#include "platform/window_id.h"

namespace pelorin {

// Window messages between this program and other programs' top-level windows
// (the player, a second copy of this program).
class WindowMessaging {
 public:
  virtual ~WindowMessaging() = default;
  // The top-level window of class `class_name` (and caption `caption` when
  // it is not empty), looked up now; kNoWindow when there is none.
  virtual WindowId FindWindow(std::string_view class_name, std::string_view caption = {}) = 0;
  // Sends a message and waits for the result. Gives up on a window whose
  // thread is hung and answers 0 then; kNoWindow answers 0 as well.
  virtual std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam) = 0;
  // Sends and waits without giving up: for requests whose completion the
  // caller relies on (the player's fade-out before shut down). kNoWindow
  // answers 0.
  virtual std::intptr_t SendAndWait(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                                    std::intptr_t lparam) = 0;
  // Queues a message and returns at once; no effect for kNoWindow.
  virtual void Post(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                    std::intptr_t lparam) = 0;
  // Brings the window to the foreground; failures are ignored.
  virtual void SetForeground(WindowId window) = 0;
  // Lets the process that owns `window` bring a window of its own to the
  // foreground, which Windows refuses a background program otherwise. Only
  // a program that may take the foreground itself (the user just started
  // it) can pass that on; failures are ignored.
  virtual void AllowForeground(WindowId window) = 0;
};

}  // namespace pelorin
