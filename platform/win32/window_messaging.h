#pragma once
#include <string>
#include <string_view>

#include "platform/window_messaging.h"

namespace pelorin::win32 {

// Window messages through user32. Send gives up on a hung receiver
// (SendMessageTimeout with SMTO_ABORTIFHUNG) so that a frozen player cannot
// freeze this program's polling; SendAndWait waits as long as the receiver
// lives.
class Win32WindowMessaging final : public WindowMessaging {
 public:
  // `send_timeout_ms` bounds every Send: long enough for the player to write
  // a large playlist file, short enough that the buttons do not stall long.
  explicit Win32WindowMessaging(unsigned send_timeout_ms = kDefaultSendTimeoutMs)
      : send_timeout_ms_(send_timeout_ms) {}

  WindowId FindWindow(std::string_view class_name, std::string_view caption = {}) override;
  std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                     std::intptr_t lparam) override;
  std::intptr_t SendAndWait(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                            std::intptr_t lparam) override;
  void Post(WindowId window, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override;
  void SetForeground(WindowId window) override;
  void AllowForeground(WindowId window) override;

  static constexpr unsigned kDefaultSendTimeoutMs = 5000;

 private:
  unsigned send_timeout_ms_;
  // The class last looked for, and its wide form: the player's window is
  // looked for 40 times a second, and its class is widened only once.
  std::string sought_class_;
  std::wstring sought_class_wide_;
};

}  // namespace pelorin::win32
