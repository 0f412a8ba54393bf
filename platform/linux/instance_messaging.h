#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_messaging.h"

namespace pelorin::linux_os {

// Messaging between copies of this program on Linux, where no window
// carries requests: the running copy listens on its request socket (see
// instance_files.h).
//
// - FindWindow of the program's own main-window class answers
//   kRunningCopy when a copy answers on the socket (whatever the caption),
//   kNoWindow otherwise and for every other class: there are no other
//   programs' windows to find.
// - Send and SendAndWait of the show and quit requests (WM_USER with
//   kShowRequest or kQuitRequest) to kRunningCopy pass the request over the
//   socket and answer 0, as the running copy's window would. Both wait for
//   the copy to confirm, at most two seconds.
// - Every other message, Post, SetForeground and AllowForeground do
//   nothing and answer 0: a running copy raises itself when it shows.
class InstanceMessaging final : public WindowMessaging {
 public:
  // The id that stands for the running copy.
  static constexpr WindowId kRunningCopy = 1;

  // `folder` holds the socket; empty means the runtime folder.
  explicit InstanceMessaging(std::string folder = {});

  WindowId FindWindow(std::string_view class_name, std::string_view caption) override;
  std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                     std::intptr_t lparam) override;
  std::intptr_t SendAndWait(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                            std::intptr_t lparam) override;
  void Post(WindowId /*window*/, std::uint32_t /*message*/, std::uintptr_t /*wparam*/,
            std::intptr_t /*lparam*/) override {}
  void SetForeground(WindowId /*window*/) override {}
  void AllowForeground(WindowId /*window*/) override {}

 private:
  std::string folder_;
};

}  // namespace pelorin::linux_os
