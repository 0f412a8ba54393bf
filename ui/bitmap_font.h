#pragma once
#include <string_view>

#include "ui/raster.h"

namespace pelorin {

// A small built-in font for the wiring pictures: 5 x 7 pixel capitals and
// digits, lower case with one row of descender, in a cell of 6 x 10 pixels.
// It covers printable ASCII and the ohm sign (UTF-8 "Ω"); anything else is
// drawn as '?'.
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphRows = 8;
inline constexpr int kCellWidth = 6;
inline constexpr int kLineHeight = 10;
// Height of a capital letter, from the top of the cell to the baseline.
inline constexpr int kCapHeight = 7;

struct TextStyle {
  PaletteIndex colour = colour::kBlack;
  // Every font pixel becomes scale x scale pixels (headings use 2).
  int scale = 1;
  // Draws every stroke twice, one pixel apart, and widens the cell by one.
  bool bold = false;
};

// Width in pixels of a single line of text, without the trailing gap of the
// last cell.
int TextWidth(std::string_view utf8, const TextStyle& style = {});

// Draws one line of text with its cell's top-left corner at `top_left`.
// Returns the x just past the text, so that texts of different styles can be
// chained on one line.
int DrawText(Raster& raster, Point top_left, std::string_view utf8, const TextStyle& style = {});

}  // namespace pelorin
