#pragma once
#include "input/decoder.h"

namespace pelorin {

// What the poll cycle shows on the properties window every tick, beside the
// decoded buttons (PortIndicatorView). The tabs of the properties window
// implement these views; the cycle depends on these two calls only.

// The COM ports tab's line indicators: each drawn pressed while its line is
// active. Port 1 is the primary port, 2 the secondary.
class LineIndicatorView {
 public:
  virtual ~LineIndicatorView() = default;
  virtual void ShowLines(PortRole port, const LineLevels& lines) = 0;
};

// The Options tab's double-click test picture: one flip for each tick in which
// some button's press came within the double-click time of its previous press.
class DoubleClickTestView {
 public:
  virtual ~DoubleClickTestView() = default;
  virtual void FlipTestPicture() = 0;
};

}  // namespace pelorin
