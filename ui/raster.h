#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace pelorin {

// One entry of the standard 16-colour Windows palette.
using PaletteIndex = std::uint8_t;

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr int kPaletteSize = 16;

// The 16 colours in the order every 4-bit Windows bitmap uses them.
namespace colour {
inline constexpr PaletteIndex kBlack = 0;
inline constexpr PaletteIndex kMaroon = 1;
inline constexpr PaletteIndex kGreen = 2;
inline constexpr PaletteIndex kOlive = 3;
inline constexpr PaletteIndex kNavy = 4;
inline constexpr PaletteIndex kPurple = 5;
inline constexpr PaletteIndex kTeal = 6;
inline constexpr PaletteIndex kSilver = 7;
inline constexpr PaletteIndex kGray = 8;
inline constexpr PaletteIndex kRed = 9;
inline constexpr PaletteIndex kLime = 10;
inline constexpr PaletteIndex kYellow = 11;
inline constexpr PaletteIndex kBlue = 12;
inline constexpr PaletteIndex kFuchsia = 13;
inline constexpr PaletteIndex kAqua = 14;
inline constexpr PaletteIndex kWhite = 15;
}  // namespace colour

// The RGB values of the palette, index by index.
const std::array<Rgb, kPaletteSize>& StandardPalette();

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A picture of width x height pixels, each one palette index (0-15). Row 0 is
// the top. Writes outside the picture are clipped, so drawing code never has
// to check bounds itself.
class Raster {
 public:
  Raster(int width, int height, PaletteIndex background);

  int width() const { return width_; }
  int height() const { return height_; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Precondition: Contains(x, y).
  PaletteIndex At(int x, int y) const { return pixels_[Offset(x, y)]; }
  // Ignored outside the picture; the index is reduced to 0-15.
  void Set(int x, int y, PaletteIndex index);

  // Row-major, top row first.
  const std::vector<PaletteIndex>& pixels() const { return pixels_; }

  friend bool operator==(const Raster&, const Raster&) = default;

 private:
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<PaletteIndex> pixels_;
};

// Straight line between two points, both ends included (Bresenham).
void DrawLine(Raster& raster, Point from, Point to, PaletteIndex index);
// Outline and filled rectangle; (left, top) is the first pixel, width and
// height count pixels.
void DrawRect(Raster& raster, int left, int top, int width, int height, PaletteIndex index);
void FillRect(Raster& raster, int left, int top, int width, int height, PaletteIndex index);
// Circle outline and disc of the given radius around a centre pixel.
void DrawCircle(Raster& raster, Point centre, int radius, PaletteIndex index);
void FillCircle(Raster& raster, Point centre, int radius, PaletteIndex index);
// Filled polygon (even-odd rule, pixel centres), e.g. a diode's triangle.
void FillPolygon(Raster& raster, std::span<const Point> corners, PaletteIndex index);
// Outline of a closed polygon.
void DrawPolygon(Raster& raster, std::span<const Point> corners, PaletteIndex index);

}  // namespace pelorin
