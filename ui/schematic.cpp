#include "ui/schematic.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace pelorin::schematic {
namespace {

constexpr int kJunctionRadius = 2;
constexpr int kTerminalRadius = 3;

bool IsWire(const Raster& raster, int x, int y) {
  return raster.Contains(x, y) && raster.At(x, y) == kWire;
}

int WireNeighbours(const Raster& raster, int x, int y) {
  return IsWire(raster, x - 1, y) + IsWire(raster, x + 1, y) + IsWire(raster, x, y - 1) +
         IsWire(raster, x, y + 1);
}

// Two small arrows pointing up and right: light leaving the LED.
void DrawLightArrows(Raster& raster, Point from) {
  for (int offset : {0, 4}) {
    const Point tail{from.x + offset, from.y + offset};
    const Point head{tail.x + 5, tail.y - 5};
    DrawLine(raster, tail, head, kBody);
    DrawLine(raster, head, {head.x - 2, head.y}, kBody);
    DrawLine(raster, head, {head.x, head.y + 2}, kBody);
  }
}

}  // namespace

void DrawWire(Raster& raster, Point from, Point to) {
  DrawLine(raster, from, to, kWire);
}

void MarkJunctions(Raster& raster) {
  std::vector<Point> joints;
  for (int y = 0; y < raster.height(); ++y) {
    for (int x = 0; x < raster.width(); ++x) {
      if (IsWire(raster, x, y) && WireNeighbours(raster, x, y) == 3) joints.push_back({x, y});
    }
  }
  for (const Point& joint : joints) FillCircle(raster, joint, kJunctionRadius, kWire);
}

Terminals DrawButtonSymbol(Raster& raster, Point top) {
  const int x = top.x;
  // Two contacts in line with the wire...
  DrawCircle(raster, {x, top.y + 3}, 2, kBody);
  DrawCircle(raster, {x, top.y + kButtonLength - 2}, 2, kBody);
  // ...and the contact bar beside them with its push rod and knob.
  const int bar_x = x - 6;
  const int middle = top.y + (kButtonLength + 1) / 2;
  DrawLine(raster, {bar_x, top.y + 2}, {bar_x, top.y + kButtonLength - 1}, kBody);
  DrawLine(raster, {bar_x - 1, top.y + 2}, {bar_x - 1, top.y + kButtonLength - 1}, kBody);
  DrawLine(raster, {bar_x - 2, middle}, {bar_x - 6, middle}, kBody);
  DrawLine(raster, {bar_x - 6, middle - 3}, {bar_x - 6, middle + 3}, kBody);
  return {top, {x, top.y + kButtonLength + 1}};
}

Terminals DrawDiodeSymbol(Raster& raster, Point top) {
  const int x = top.x;
  const std::array<Point, 3> triangle = {{{x - 4, top.y + 1}, {x + 4, top.y + 1}, {x, top.y + 7}}};
  FillPolygon(raster, triangle, kBody);
  DrawLine(raster, {x - 4, top.y + kDiodeLength}, {x + 4, top.y + kDiodeLength}, kBody);
  return {top, {x, top.y + kDiodeLength + 1}};
}

Terminals DrawLedSymbol(Raster& raster, Point top, PaletteIndex light) {
  const int x = top.x;
  const std::array<Point, 3> triangle = {{{x - 5, top.y + 1}, {x + 5, top.y + 1}, {x, top.y + 7}}};
  FillPolygon(raster, triangle, light);
  DrawPolygon(raster, triangle, kBody);
  DrawLine(raster, {x - 5, top.y + 8}, {x + 5, top.y + 8}, kBody);
  DrawLine(raster, {x, top.y + 8}, {x, top.y + kLedLength}, kBody);
  DrawLightArrows(raster, {x + 5, top.y + 5});
  return {top, {x, top.y + kLedLength + 1}};
}

Terminals DrawResistorSymbol(Raster& raster, Point top) {
  DrawRect(raster, top.x - 3, top.y + 1, 7, kResistorLength, kBody);
  return {top, {top.x, top.y + kResistorLength + 1}};
}

Point DrawSignalLabel(Raster& raster, Signal signal, int y) {
  const int text_top = y - 3;
  DrawText(raster, {4, text_top}, SignalName(signal), {.colour = kLabel, .bold = true});
  const PlugPins pins = PinsOf(signal);
  const std::string pin9 = std::to_string(pins.pin9);
  // The 9-pin number right-aligned before the slash, the 25-pin one after it.
  const int slash_x = 42;
  DrawText(raster, {slash_x - 1 - TextWidth(pin9), text_top}, pin9, {.colour = kPinNumber});
  DrawText(raster, {slash_x, text_top}, "/", {.colour = kPinNumber});
  DrawText(raster, {slash_x + 6, text_top}, std::to_string(pins.pin25), {.colour = kPinNumber});
  const Point ring{kRowStart - kTerminalRadius - 1, y};  // touches the row's first pixel
  DrawCircle(raster, ring, kTerminalRadius, kWire);
  return {kRowStart, y};
}

void DrawPinHeading(Raster& raster, int y) {
  DrawText(raster, {30, y}, "9/25", {.colour = kPinNumber});
}

void DrawPlugView(Raster& raster, Point top_left) {
  constexpr int kPitch = 16;
  const int left = top_left.x;
  const int shell_top = top_left.y + 11;
  const int shell_bottom = shell_top + 30;
  const std::array<Point, 4> shell = {{{left, shell_top},
                                       {left + kPlugViewWidth - 1, shell_top},
                                       {left + kPlugViewWidth - 9, shell_bottom},
                                       {left + 8, shell_bottom}}};
  FillPolygon(raster, shell, colour::kSilver);
  DrawPolygon(raster, shell, colour::kGray);
  const TextStyle numbers{.colour = kPinNumber};
  for (int pin = 1; pin <= 9; ++pin) {
    const bool upper = pin <= 5;
    const int column = upper ? pin - 1 : pin - 6;
    const int x = left + 14 + column * kPitch + (upper ? 0 : kPitch / 2);
    const int y = upper ? shell_top + 9 : shell_top + 21;
    FillCircle(raster, {x, y}, 3, colour::kOlive);
    DrawCircle(raster, {x, y}, 3, colour::kGray);
    const std::string number = std::to_string(pin);
    const int text_y = upper ? top_left.y : shell_bottom + 3;
    DrawText(raster, {x - TextWidth(number) / 2, text_y}, number, numbers);
  }
}

void DrawTextLines(Raster& raster, Point top_left, std::initializer_list<std::string_view> lines,
                   const TextStyle& style) {
  int y = top_left.y;
  for (std::string_view line : lines) {
    DrawText(raster, {top_left.x, y}, line, style);
    y += kLineHeight * style.scale;
  }
}

}  // namespace pelorin::schematic
