#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace pelorin {

// The recognition state of one virtual button. Thirty of them (15 per port)
// live for the whole run; all zero at start, so a button already held when
// polling starts gives a press in the first cycle.
struct ButtonState {
  // Carried from cycle to cycle, across changes of ClickMode and PortMode.
  bool previous_level = false;
  bool turbo_active = false;
  // A double-click window is open until `deadline_ms`. The open flag is kept
  // apart from the deadline so that no clock value can be mistaken for "no
  // window".
  bool window_open = false;
  std::int64_t deadline_ms = 0;
  std::int64_t turbo_start_ms = 0;
  // Repeats sent since the turbo repeat started. 64 bits so that a repeat
  // held for years cannot wrap and stall or flood.
  std::int64_t turbo_count = 0;

  // This cycle only: cleared at the start of each cycle that processes the
  // button's port.
  bool current_level = false;
  bool pressed = false;
  bool released = false;
  bool window_ended = false;
  bool double_click = false;

  void ClearCycleFlags() {
    current_level = pressed = released = window_ended = double_click = false;
  }
};

// The double-click window in milliseconds for a "Double-click speed:" value
// (tenths of a second). Values outside 1..10 are brought into that range.
std::int64_t DoubleClickWindowMs(int dbl_click_speed);

// Recognises this cycle's events of a button whose `current_level` has been
// decoded: press and release edges, the second press inside the window
// (double-click, which closes the window) and the end of the window. The
// press is examined before the window end, so a second press seen in the
// first cycle after the deadline still counts as a double-click. The window
// ends at the first look strictly after its deadline. The clock is read at
// the press and again for the window end.
void RecognizeEvents(ButtonState& state, const Clock& clock, std::int64_t window_ms);

// Starts the turbo repeat at `now_ms`; the first repeat is due at once.
void StartTurbo(ButtonState& state, std::int64_t now_ms);

// The turbo repeats due at `now_ms` that the caller sends now, counting each
// one into `turbo_count` as it is sent. `t` ms after the start,
// floor(t * turbo_cps / 1000) + 1 repeats are due in all, so a late cycle
// catches up with a burst. A burst is bounded to one second's worth of
// repeats (`turbo_cps`): after a longer stall (a resumed machine, a command
// that blocked for minutes) the older repeats are dropped, not replayed, and
// the rhythm goes on from now. When the speed is turned down during a long
// hold, more repeats may have gone out than are due at the new speed; the
// rhythm then restarts at the new speed from now instead of pausing until the
// count is due again. `turbo_cps` outside 1..100 is brought into that range.
std::int64_t TurboRepeatsDue(ButtonState& state, std::int64_t now_ms, int turbo_cps);

}  // namespace pelorin
