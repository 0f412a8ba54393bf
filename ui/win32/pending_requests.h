#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

namespace pelorin::win32 {

// What a presenter asked of a control, one kind per ControlsView setter.
enum class ControlRequest {
  Text,
  Hint,
  Items,
  Selection,
  Checked,
  Enabled,
  Visible,
  Colour,
  Bold,
  Underlined,
  Range,
  Position,
  Ticks,
};

// The requests made of controls whose windows do not exist yet. A window
// builds its controls when it is first shown, long after its presenters
// filled it; what they asked is kept here and done on the new controls then,
// so the window looks exactly as if its controls had been there all along.
//
// Only the last request of each kind per control is kept (a later text
// replaces an earlier one), and the kept ones are done in the order they were
// last made: where two kinds touch the same state (a list's items clear its
// selection, a colour greys a list as disabling does) the later still wins.
// Requests made every poll cycle therefore never pile up.
class PendingRequests {
 public:
  // Keeps `apply` for `control` of `table` until the window at `target`
  // exists; `target` must stay valid as long as the request is kept.
  void Keep(const void* table, int control, ControlRequest request, const HWND* target,
            std::function<void()> apply);
  // Does, in order, every kept request whose control now has its window, and
  // forgets it. Requests for controls still missing stay kept.
  void DoForBuiltControls();
  bool Empty() const { return kept_.empty(); }

 private:
  using Key = std::tuple<const void*, int, ControlRequest>;
  struct Kept {
    std::uint64_t order = 0;
    const HWND* target = nullptr;
    std::function<void()> apply;
  };
  std::map<Key, Kept> kept_;
  std::uint64_t next_order_ = 0;
};

}  // namespace pelorin::win32
