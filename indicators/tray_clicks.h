#pragma once
#include <cstdint>

#include "config/settings.h"

namespace pelorin {

// Mouse messages that the tray icon's callback carries in lParam.
inline constexpr std::uint32_t kMouseLeftDown = 0x0201;
inline constexpr std::uint32_t kMouseLeftDoubleClick = 0x0203;
inline constexpr std::uint32_t kMouseRightDown = 0x0204;

// What the tray icon's owner must do for it.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // The 300 ms one-shot timer that tells a single click from a double-click.
  virtual void StartClickTimer() = 0;
  virtual void StopClickTimer() = 0;
  virtual bool ClickTimerRunning() const = 0;
  // Shows the properties window (the menu's "P&roperties").
  virtual void ShowProperties() = 0;
  // Brings the properties window to the foreground and opens the tray menu
  // at the cursor.
  virtual void OpenMenuAtCursor() = 0;
  // Carries out a single-click action other than OpenProperties and Nothing.
  virtual void RunClickAction(TrayClickAction action) = 0;
};

// The tray icon's click logic: a second left press while the click timer
// runs is a double-click and opens the properties window; a single click
// runs the chosen action from the timer, 300 ms later, never from the click.
class TrayClicks {
 public:
  explicit TrayClicks(TrayHost& host) : host_(host) {}

  // The tray callback with mouse message `mouse_message`.
  void TrayMessage(std::uint32_t mouse_message);
  // The click timer ran out: the click had no second one. `action` is the
  // chosen action; a value outside the list does nothing.
  // A tick while the click timer is not running does nothing.
  void OnTrayClickTick(TrayClickAction action);

 private:
  TrayHost& host_;
};

}  // namespace pelorin
