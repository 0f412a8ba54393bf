#pragma once
#include <array>

#include "config/settings.h"

namespace pelorin {

// A port's line assignment: the selection index per status line, in the order
// DCD, DSR, CTS, RI; 0 "None", 1..4 the port's hardware button.
using LineMap = std::array<int, 4>;

// A port's line assignment as a map and back.
inline LineMap LineMapOf(const PortGroup& group) {
  return {group.DCD, group.DSR, group.CTS, group.RI};
}
inline void SetLineMap(PortGroup& group, const LineMap& map) {
  group.DCD = map[0];
  group.DSR = map[1];
  group.CTS = map[2];
  group.RI = map[3];
}

// Where a line remap dialog keeps its port's four line numbers between runs:
// the configuration file's "Primary" or "Secondary" section.
class LineMapStore {
 public:
  virtual ~LineMapStore() = default;
  // The stored map of port 1 or 2, defaults filled in for missing values.
  virtual LineMap ReadLineMap(PortRole port) = 0;
  // Writes the four values; a failed write is ignored by the store.
  virtual void WriteLineMap(PortRole port, const LineMap& map) = 0;
};

}  // namespace pelorin
