#pragma once
#include <array>
#include <vector>

#include "ui/raster.h"
#include "ui/wiring_netlist.h"

namespace pelorin {

// The two pictures of the Help tab: how to wire four buttons, and fifteen
// buttons that code every combination of the four status lines.
inline constexpr int kFourButtonPictureWidth = 300;
inline constexpr int kFourButtonPictureHeight = 294;
inline constexpr int kFifteenButtonPictureWidth = 1340;
inline constexpr int kFifteenButtonPictureHeight = 300;

struct WiringDrawing {
  // What the picture shows, part by part.
  Netlist netlist;
  Raster raster;
  // For each part of the netlist, in its order: the wire pixels that touch
  // the part's anode side and cathode side (for buttons: the DTR side first).
  std::vector<std::array<Point, 2>> terminals;
  // For each signal: the first wire pixel of its row beside the plug label.
  std::array<Point, kSignalCount> plug_ends{};
};

WiringDrawing DrawFourButtonWiring();
WiringDrawing DrawFifteenButtonWiring();

}  // namespace pelorin
