#pragma once
#include <cstdint>
#include <string>

#include "platform/window_id.h"

namespace pelorin {

// The four timers of the properties window.
enum class WindowTimer {
  StartupTimer,    // one-shot that runs the start-up at the message loop's first turn
  PollTimer,       // 25 ms poll cycle
  LedTimer,        // 200 ms LED step
  TrayClickTimer,  // 300 ms one-shot: single or double tray click
};

// Every timer, in the enumeration's order.
inline constexpr WindowTimer kWindowTimers[] = {WindowTimer::StartupTimer, WindowTimer::PollTimer,
                                                WindowTimer::LedTimer, WindowTimer::TrayClickTimer};

// How often each timer ticks: the start-up and the tray click wait once,
// the poll cycle and the LED step repeat. An interval of 0 ticks as soon as
// the loop has nothing else queued: the start-up needs the loop running, not
// a delay (a 1 ms Windows timer would wait 10 ms, the system's shortest).
struct WindowTimerPeriod {
  int interval_ms;
  bool periodic;
};
constexpr WindowTimerPeriod PeriodOf(WindowTimer timer) {
  switch (timer) {
    case WindowTimer::StartupTimer:
      return {0, false};
    case WindowTimer::PollTimer:
      return {25, true};
    case WindowTimer::LedTimer:
      return {200, true};
    case WindowTimer::TrayClickTimer:
      return {300, false};
  }
  return {0, false};
}

// The items of the tray menu.
enum class TrayMenuItem { Properties, StartPlayer, Volume, Exit };

// What the program's logic needs of its hidden main window (the properties
// window) and of the message loop it runs in. The Win32 view implements it;
// tests use a fake.
class ProgramWindow {
 public:
  virtual ~ProgramWindow() = default;
  virtual WindowId Id() const = 0;

  virtual void StartTimer(WindowTimer timer) = 0;
  virtual void StopTimer(WindowTimer timer) = 0;
  virtual bool TimerRunning(WindowTimer timer) const = 0;

  virtual bool Visible() const = 0;
  // Shows the window (its show handler then runs) or hides it.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void BringToFront() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Lets pending window messages be handled now.
  virtual void ProcessMessages() = 0;
  // Ends the message loop; the program then ends.
  virtual void EndMessageLoop() = 0;

  // The tray icon: added and removed with the fixed notification record. An
  // icon the shell does not take yet (it is still starting) is added again
  // every few seconds until it does, or until it is removed.
  virtual void AddTrayIcon() = 0;
  virtual void RemoveTrayIcon() = 0;
  // Opens the tray menu at the cursor (after bringing the window to the
  // foreground, so that the menu closes when the user clicks elsewhere).
  virtual void OpenTrayMenuAtCursor() = 0;
  virtual void EnableTrayMenuItem(TrayMenuItem item, bool enabled) = 0;
  // The tray icon's tip ("Pelorin" until changed); kept for every later
  // adding of the icon, and shown at once while the icon is there.
  virtual void SetTrayTip(const std::string& tip) = 0;
};

}  // namespace pelorin
