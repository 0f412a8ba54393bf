#include "ui/wiring_pictures.h"

#include <algorithm>
#include <functional>
#include <string>

#include "ui/bitmap_font.h"
#include "ui/schematic.h"

namespace pelorin {
namespace {

using schematic::DrawWire;
using schematic::Terminals;

const TextStyle kTitle{.colour = schematic::kLabel, .scale = 2, .bold = true};
const TextStyle kNote{.colour = schematic::kLabel};
const TextStyle kPartLabel{.colour = schematic::kLabel};
const TextStyle kButtonNumber{.colour = schematic::kLabel, .bold = true};

using SymbolDrawer = std::function<Terminals(Raster&, Point)>;

// One symbol in a vertical chain: its drawer, where its top terminal sits and
// which netlist part it stands for.
struct ChainLink {
  SymbolDrawer draw;
  int top_y;
  std::size_t part;
};

// A vertical wire at x from y `from` to y `to` with the symbols of `links`
// set into it; records every symbol's terminals in the picture.
// Same-typed on purpose: a column and the two rows it joins.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void DrawChain(WiringDrawing& picture, int x, int from, int to,
               const std::vector<ChainLink>& links) {
  int y = from;
  for (const ChainLink& link : links) {
    DrawWire(picture.raster, {x, y}, {x, link.top_y});
    const Terminals terminals = link.draw(picture.raster, {x, link.top_y});
    picture.terminals[link.part] = {terminals.top, terminals.bottom};
    y = terminals.bottom.y;
  }
  DrawWire(picture.raster, {x, y}, {x, to});
}

// The LED parts of a wiring: the power LED's resistor, the power LED and the
// LED on RTS, as indices into the netlist's parts.
struct LedParts {
  std::size_t resistor = 0;
  std::size_t power_led = 0;
  std::size_t rts_led = 0;
};

LedParts FindLedParts(const Netlist& netlist) {
  LedParts found;
  for (std::size_t i = 0; i < netlist.parts.size(); ++i) {
    const Part& part = netlist.parts[i];
    if (part.kind == PartKind::kResistor) found.resistor = i;
    if (part.kind != PartKind::kLed) continue;
    (part.anode == Netlist::NetOf(Signal::kRts) ? found.rts_led : found.power_led) = i;
  }
  return found;
}

SymbolDrawer Led(PaletteIndex light) {
  return
      [light](Raster& raster, Point top) { return schematic::DrawLedSymbol(raster, top, light); };
}

// Where the two LEDs of a picture go: the power LED with its resistor from
// the DTR row down to ground, the RTS LED from the RTS row down to ground.
struct LedPlacement {
  int power_x;
  int resistor_top;
  int power_led_top;
  int rts_x;
  int rts_led_top;
  // Where the RTS LED's label goes when another wire runs on its right.
  bool rts_label_left = false;
};

void DrawLeds(WiringDrawing& picture, const std::array<int, kSignalCount>& rows,
              const LedPlacement& at) {
  const LedParts parts = FindLedParts(picture.netlist);
  const int ground = rows[static_cast<int>(Signal::kGround)];
  DrawChain(picture, at.power_x, rows[static_cast<int>(Signal::kDtr)], ground,
            {{schematic::DrawResistorSymbol, at.resistor_top, parts.resistor},
             {Led(colour::kLime), at.power_led_top, parts.power_led}});
  DrawChain(picture, at.rts_x, rows[static_cast<int>(Signal::kRts)], ground,
            {{Led(colour::kRed), at.rts_led_top, parts.rts_led}});
}

void DrawLedLabels(WiringDrawing& picture, const LedPlacement& at) {
  Raster& raster = picture.raster;
  const LedParts parts = FindLedParts(picture.netlist);
  DrawText(raster, {at.power_x + 8, at.resistor_top + 6},
           picture.netlist.parts[parts.resistor].label, kPartLabel);
  schematic::DrawTextLines(raster, {at.power_x + 20, at.power_led_top - 2},
                           {"power LED", "(optional)"}, kPartLabel);
  const std::string_view first = "optional LED";
  const int rts_label_x = at.rts_label_left ? at.rts_x - 10 - TextWidth(first) : at.rts_x + 20;
  schematic::DrawTextLines(raster, {rts_label_x, at.rts_led_top - 2}, {first, "(Options tab)"},
                           kPartLabel);
}

// Draws every signal's row from its label to the rightmost x that a part of
// the picture needs, and records where each row starts.
void DrawRows(WiringDrawing& picture, const std::array<int, kSignalCount>& rows,
              const std::array<int, kSignalCount>& row_ends) {
  for (int s = 0; s < kSignalCount; ++s) {
    const Point start = schematic::DrawSignalLabel(picture.raster, static_cast<Signal>(s), rows[s]);
    DrawWire(picture.raster, start, {row_ends[s], rows[s]});
    picture.plug_ends[s] = start;
  }
}

// The 15-button matrix: where button k and its leads stand.
struct MatrixLayout {
  std::array<int, kSignalCount> rows;
  int button_top;
  int fan_y;  // the short bar under a button from which its leads go down
  int diode_top;

  static int ColumnOf(int button) { return 104 + (button - 1) * 68; }
  // Each status line has its own lane right of the button's column, so the
  // diodes of one button stand side by side and a line is always found at
  // the same place.
  static int LaneOf(int line_net) { return (line_net - Netlist::NetOf(Signal::kDcd)) * 12; }
};

// Button `part` of the matrix: from DTR down through the button to its bar,
// and from the bar one lead per line it reaches, with a diode in the lead
// when the button reaches more than one line. Extends `row_ends` so that
// each line's row reaches its leads.
void DrawMatrixButton(WiringDrawing& picture, std::size_t part, const MatrixLayout& layout,
                      std::array<int, kSignalCount>& row_ends) {
  const Netlist& netlist = picture.netlist;
  const Part& button = netlist.parts[part];
  const int x = MatrixLayout::ColumnOf(button.button);
  DrawChain(picture, x, layout.rows[button.anode], layout.fan_y,
            {{schematic::DrawButtonSymbol, layout.button_top, part}});
  DrawText(picture.raster, {x + 5, layout.button_top + 6}, std::to_string(button.button),
           kButtonNumber);
  int fan_right = x;
  for (std::size_t j = 0; j < netlist.parts.size(); ++j) {
    const Part& lead = netlist.parts[j];
    const bool direct = j == part && button.cathode < kSignalCount;
    const bool diode = lead.kind == PartKind::kDiode && lead.anode == button.cathode;
    if (!direct && !diode) continue;
    const int line = lead.cathode;
    const int lane = x + MatrixLayout::LaneOf(line);
    fan_right = std::max(fan_right, lane);
    row_ends[line] = std::max(row_ends[line], lane);
    if (direct) {
      DrawWire(picture.raster, {lane, layout.fan_y}, {lane, layout.rows[line]});
    } else {
      DrawChain(picture, lane, layout.fan_y, layout.rows[line],
                {{schematic::DrawDiodeSymbol, layout.diode_top, j}});
    }
  }
  DrawWire(picture.raster, {x, layout.fan_y}, {fan_right, layout.fan_y});
}

void DrawMatrixNotes(Raster& raster) {
  schematic::DrawTextLines(
      raster, {4, 262},
      {"Button k joins DTR to the lines of the bits of k: DCD = 1, DSR = 2, CTS = 4, RI = 8.",
       "A button that reaches more than one line needs one diode per line: 28 diodes, all of "
       "one type (e.g. 1N4148)."},
      kNote);
  DrawText(raster, {4, 282},
           "Set the remap of the lines to DCD 1, DSR 2, CTS 3, RI 4 (second port: 5, 6, 7, 8).",
           {.colour = schematic::kLabel, .bold = true});
}

}  // namespace

WiringDrawing DrawFourButtonWiring() {
  WiringDrawing picture{
      FourButtonWiring(),
      Raster(kFourButtonPictureWidth, kFourButtonPictureHeight, schematic::kBackground),
      {},
      {}};
  picture.terminals.resize(picture.netlist.parts.size());
  // Rows in the order of Signal: DTR, DCD, DSR, CTS, RI, RTS, GND.
  const std::array<int, kSignalCount> rows = {40, 96, 112, 128, 144, 170, 212};
  const LedPlacement leds{
      .power_x = 214, .resistor_top = 92, .power_led_top = 150, .rts_x = 100, .rts_led_top = 184};
  std::array<int, kSignalCount> row_ends{};
  row_ends[static_cast<int>(Signal::kDtr)] = leds.power_x;
  row_ends[static_cast<int>(Signal::kRts)] = leds.rts_x;
  row_ends[static_cast<int>(Signal::kGround)] = leds.power_x;

  for (std::size_t i = 0; i < picture.netlist.parts.size(); ++i) {
    const Part& part = picture.netlist.parts[i];
    if (part.kind != PartKind::kButton) continue;
    const int x = 92 + (part.button - 1) * 30;
    row_ends[part.cathode] = std::max(row_ends[part.cathode], x);
    DrawChain(picture, x, rows[part.anode], rows[part.cathode],
              {{schematic::DrawButtonSymbol, 54, i}});
    DrawText(picture.raster, {x + 5, 60}, std::to_string(part.button), kButtonNumber);
  }
  DrawLeds(picture, rows, leds);
  DrawRows(picture, rows, row_ends);
  schematic::MarkJunctions(picture.raster);

  Raster& raster = picture.raster;
  DrawText(raster, {4, 4}, "4 buttons", kTitle);
  schematic::DrawPinHeading(raster, 24);
  DrawLedLabels(picture, leds);
  schematic::DrawPlugView(raster, {6, 232});
  schematic::DrawTextLines(
      raster, {108, 236},
      {"9-pin plug seen from", "outside the computer.", "Pin numbers:", "9-pin / 25-pin plug."},
      kNote);
  return picture;
}

WiringDrawing DrawFifteenButtonWiring() {
  WiringDrawing picture{
      FifteenButtonWiring(),
      Raster(kFifteenButtonPictureWidth, kFifteenButtonPictureHeight, schematic::kBackground),
      {},
      {}};
  picture.terminals.resize(picture.netlist.parts.size());
  const MatrixLayout layout{
      .rows = {40, 132, 150, 168, 186, 214, 246}, .button_top = 54, .fan_y = 88, .diode_top = 96};
  const LedPlacement leds{.power_x = 1160,
                          .resistor_top = 130,
                          .power_led_top = 184,
                          .rts_x = 1110,
                          .rts_led_top = 222,
                          .rts_label_left = true};
  std::array<int, kSignalCount> row_ends{};
  row_ends[static_cast<int>(Signal::kDtr)] = leds.power_x;
  row_ends[static_cast<int>(Signal::kRts)] = leds.rts_x;
  row_ends[static_cast<int>(Signal::kGround)] = leds.power_x;

  for (std::size_t i = 0; i < picture.netlist.parts.size(); ++i) {
    if (picture.netlist.parts[i].kind == PartKind::kButton) {
      DrawMatrixButton(picture, i, layout, row_ends);
    }
  }
  DrawLeds(picture, layout.rows, leds);
  DrawRows(picture, layout.rows, row_ends);
  schematic::MarkJunctions(picture.raster);

  Raster& raster = picture.raster;
  DrawText(raster, {4, 4}, "15 buttons", kTitle);
  schematic::DrawPinHeading(raster, 24);
  DrawLedLabels(picture, leds);
  DrawMatrixNotes(raster);
  schematic::DrawPlugView(raster, {1244, 40});
  schematic::DrawTextLines(raster, {1244, 96}, {"9-pin plug seen", "from outside the", "computer."},
                           kNote);
  return picture;
}

}  // namespace pelorin
