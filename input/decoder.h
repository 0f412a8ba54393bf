#pragma once
#include <array>
#include <string>
#include <vector>

#include "config/port_role.h"
#include "config/settings.h"

namespace pelorin {

// Levels of a port's four modem-status inputs; true while asserted (pressed).
struct LineLevels {
  bool dcd = false;
  bool dsr = false;
  bool cts = false;
  bool ri = false;
  bool operator==(const LineLevels&) const = default;
};

// Which hardware button (1..4) each line feeds; anything else feeds none.
struct LineAssignment {
  int dcd = 1;
  int dsr = 2;
  int cts = 3;
  int ri = 4;
};

// The four hardware buttons of a port and their combination code
// h1 + 2*h2 + 4*h3 + 8*h4 (0..15).
struct HardwareButtons {
  std::array<bool, 4> pressed{};
  int code = 0;
};

using VirtualLevels = std::array<bool, 15>;

// Several lines may feed one button (they are ORed); a line assigned to a
// value outside 1..4 is ignored.
HardwareButtons DecodeHardwareButtons(const LineLevels& lines, const LineAssignment& assignment);

// Levels of virtual buttons 1..15 (index 0..14) under `port_mode`;
// buttons beyond the mode's count, and every button under any other mode,
// are up.
VirtualLevels DecodeVirtualButtons(const HardwareButtons& hardware, PortMode port_mode);

// Number of virtual buttons a mode uses (4, 6, 8, 15; 0 for no mode).
int VirtualButtonCount(PortMode port_mode);

// Names offered in a port's button selector; entry i is virtual button i + 1.
// Empty for a mode outside the list.
std::vector<std::string> ButtonNames(PortMode port_mode);

// Where a port's decoded state is shown (the COM ports tab).
class PortIndicatorView {
 public:
  virtual ~PortIndicatorView() = default;
  // The "4:" row: hardware button `index` (0..3) shown pressed or released.
  virtual void ShowHardwareButton(PortRole port, int index, bool pressed) = 0;
  // The "15:" indicator: pressed with caption `code` for 1..15, released
  // with an empty caption for 0.
  virtual void ShowCombinationCode(PortRole port, int code) = 0;
};

// The per-port decoding state kept between cycles: only the previous
// combination code, so that the "15:" indicator is touched only on a change.
class PortIndicators {
 public:
  // Shows `hardware` on `view`: the "4:" row every time, the "15:" indicator
  // only when the code differs from the previous call's.
  void Update(PortRole port, const HardwareButtons& hardware, PortIndicatorView& view);

 private:
  int previous_code_ = 0;
};

}  // namespace pelorin
