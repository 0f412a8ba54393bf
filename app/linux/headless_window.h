#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/event_loop.h"
#include "platform/os_error.h"
#include "ui/program_window.h"
#include "ui/program_window_events.h"

namespace pelorin::linux_os {

// The program's main window where there is none: its four timers are
// timerfds in the event loop, and everything a window would show is
// dropped. The window is never visible, so a close request or the session's
// end takes the program's hidden-window path.
class HeadlessWindow final : public ProgramWindow {
 public:
  // Builds the four timers and watches them in `loop`; nothing when the
  // system refuses a timer (`error` says why).
  static std::unique_ptr<HeadlessWindow> Create(EventLoop& loop, OsError* error = nullptr);
  ~HeadlessWindow() override;
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // Where the timer ticks go; set once the program exists, before the loop
  // runs.
  void SetEvents(ProgramWindowEvents& events) { events_ = &events; }

  WindowId Id() const override { return kNoWindow; }
  void StartTimer(WindowTimer timer) override;
  void StopTimer(WindowTimer timer) override;
  bool TimerRunning(WindowTimer timer) const override;

  bool Visible() const override { return false; }
  void Show() override {}
  void Hide() override {}
  void BringToFront() override {}
  void SetCaption(const std::string&) override {}
  // Nothing waits outside the loop: another copy's request is handled when
  // the loop reaches it, never inside a handler that is still running.
  void ProcessMessages() override {}
  void EndMessageLoop() override;

  void AddTrayIcon() override {}
  void RemoveTrayIcon() override {}
  void OpenTrayMenuAtCursor() override {}
  void EnableTrayMenuItem(TrayMenuItem, bool) override {}
  void SetTrayTip(const std::string&) override {}

 private:
  struct Timer {
    TimerFd fd;
    bool running = false;
    std::uint64_t starts = 0;  // counts StartTimer calls, to see a restart inside a tick
  };
  HeadlessWindow(EventLoop& loop, std::array<std::optional<Timer>, 4> timers);
  void OnExpired(WindowTimer timer);

  EventLoop& loop_;
  std::array<std::optional<Timer>, 4> timers_;
  ProgramWindowEvents* events_ = nullptr;
};

}  // namespace pelorin::linux_os
