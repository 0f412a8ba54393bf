#pragma once
#include <initializer_list>
#include <string_view>

#include "ui/bitmap_font.h"
#include "ui/raster.h"
#include "ui/wiring_netlist.h"

// The drawing vocabulary of the wiring pictures: wires, junction dots, part
// symbols, signal labels and the view of the plug.
//
// Wires, junction dots and plug terminals use `kWire` and nothing else does,
// so the copper of a picture can be traced by colour: wires that cross
// without a dot are not joined, every T joint gets a dot, and part bodies,
// text and the plug view never touch a wire in the wire colour.
namespace pelorin::schematic {

inline constexpr PaletteIndex kWire = colour::kBlack;
inline constexpr PaletteIndex kBody = colour::kNavy;
inline constexpr PaletteIndex kLabel = colour::kNavy;
inline constexpr PaletteIndex kPinNumber = colour::kMaroon;
inline constexpr PaletteIndex kBackground = colour::kWhite;

// The wire pixels that touch a vertical symbol above and below it.
struct Terminals {
  Point top;
  Point bottom;
};

// A horizontal or vertical wire, both ends included.
void DrawWire(Raster& raster, Point from, Point to);

// Puts a dot on every T joint of the wires drawn so far. Call it after all
// wires and before the plug terminals, whose rings would look like joints.
void MarkJunctions(Raster& raster);

// Symbols for a vertical wire, drawn downwards. `top` is the last wire pixel
// above the symbol; the returned bottom terminal is the first wire pixel below
// it, where the caller continues the wire.
Terminals DrawButtonSymbol(Raster& raster, Point top);
Terminals DrawDiodeSymbol(Raster& raster, Point top);
Terminals DrawLedSymbol(Raster& raster, Point top, PaletteIndex light);
Terminals DrawResistorSymbol(Raster& raster, Point top);

// Height in pixels of each symbol, between its two terminals.
inline constexpr int kButtonLength = 18;
inline constexpr int kDiodeLength = 8;
inline constexpr int kLedLength = 9;
inline constexpr int kResistorLength = 18;

// The x at which signal rows start, right of the labels.
inline constexpr int kRowStart = 74;

// The name and pin numbers of a signal at the left edge and a terminal ring
// in the wire colour. Returns the first wire pixel right of the ring; the
// caller draws the signal's row from there.
Point DrawSignalLabel(Raster& raster, Signal signal, int y);

// The heading above the label column that says which number is which plug.
void DrawPinHeading(Raster& raster, int y);

// The 9-pin plug as seen from outside the computer: pins 1-5 in the upper
// row, 6-9 in the lower row, numbered. `top_left` is the corner of the pin
// numbers above the plug.
void DrawPlugView(Raster& raster, Point top_left);
inline constexpr int kPlugViewWidth = 92;

// Lines of text from `top_left` downwards, one per element.
void DrawTextLines(Raster& raster, Point top_left, std::initializer_list<std::string_view> lines,
                   const TextStyle& style);

}  // namespace pelorin::schematic
