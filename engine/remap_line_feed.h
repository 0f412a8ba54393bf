#pragma once

namespace pelorin {

// A port's line remap dialog as the poll cycle feeds its automatic
// assignment: while the dialog shows its "Auto" page, each line that became
// asserted since the previous cycle is announced, in the order DCD, DSR, CTS,
// RI.
class RemapLineFeed {
 public:
  virtual ~RemapLineFeed() = default;
  virtual bool ShowsAutoPage() const = 0;
  virtual void DcdRose() = 0;
  virtual void DsrRose() = 0;
  virtual void CtsRose() = 0;
  virtual void RiRose() = 0;
};

}  // namespace pelorin
