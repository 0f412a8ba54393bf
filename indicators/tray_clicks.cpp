#include "indicators/tray_clicks.h"

namespace pelorin {

void TrayClicks::TrayMessage(std::uint32_t mouse_message) {
  switch (mouse_message) {
    case kMouseLeftDown:
    case kMouseLeftDoubleClick:
      if (host_.ClickTimerRunning()) {
        host_.ShowProperties();
        host_.StopClickTimer();
      } else {
        host_.StartClickTimer();
      }
      break;
    case kMouseRightDown:
      host_.OpenMenuAtCursor();
      break;
    default:
      break;  // moves, releases and other buttons do nothing
  }
}

void TrayClicks::OnTrayClickTick(TrayClickAction action) {
  // Only a first click starts the timer. A tick without it (a timer message
  // posted by another program, or one already queued when a double-click
  // stopped the timer) is no single click.
  if (!host_.ClickTimerRunning()) return;
  host_.StopClickTimer();
  const int index = SelectionOf(action);
  if (index < 0 || index > SelectionOf(TrayClickAction::Nothing)) return;
  switch (action) {
    case TrayClickAction::OpenProperties:
      host_.ShowProperties();
      break;
    case TrayClickAction::Nothing:
      break;
    default:
      host_.RunClickAction(action);
      break;
  }
}

}  // namespace pelorin
