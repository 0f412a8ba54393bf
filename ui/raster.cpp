#include "ui/raster.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "platform/nearest_whole.h"

namespace pelorin {

const std::array<Rgb, kPaletteSize>& StandardPalette() {
  static constexpr std::array<Rgb, kPaletteSize> kPalette = {{
      {0x00, 0x00, 0x00},
      {0x80, 0x00, 0x00},
      {0x00, 0x80, 0x00},
      {0x80, 0x80, 0x00},
      {0x00, 0x00, 0x80},
      {0x80, 0x00, 0x80},
      {0x00, 0x80, 0x80},
      {0xC0, 0xC0, 0xC0},
      {0x80, 0x80, 0x80},
      {0xFF, 0x00, 0x00},
      {0x00, 0xFF, 0x00},
      {0xFF, 0xFF, 0x00},
      {0x00, 0x00, 0xFF},
      {0xFF, 0x00, 0xFF},
      {0x00, 0xFF, 0xFF},
      {0xFF, 0xFF, 0xFF},
  }};
  return kPalette;
}

Raster::Raster(int width, int height, PaletteIndex background) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("raster size must be positive");
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                 static_cast<PaletteIndex>(background & 0x0F));
}

void Raster::Set(int x, int y, PaletteIndex index) {
  if (Contains(x, y)) pixels_[Offset(x, y)] = static_cast<PaletteIndex>(index & 0x0F);
}

void DrawLine(Raster& raster, Point from, Point to, PaletteIndex index) {
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int step_x = from.x < to.x ? 1 : -1;
  const int step_y = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  Point at = from;
  for (;;) {
    raster.Set(at.x, at.y, index);
    if (at == to) break;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      at.x += step_x;
    }
    if (doubled <= dx) {
      error += dx;
      at.y += step_y;
    }
  }
}

// Same-typed on purpose: a rectangle in the order of every drawing API.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void DrawRect(Raster& raster, int left, int top, int width, int height, PaletteIndex index) {
  if (width <= 0 || height <= 0) return;
  const int right = left + width - 1;
  const int bottom = top + height - 1;
  DrawLine(raster, {left, top}, {right, top}, index);
  DrawLine(raster, {left, bottom}, {right, bottom}, index);
  DrawLine(raster, {left, top}, {left, bottom}, index);
  DrawLine(raster, {right, top}, {right, bottom}, index);
}

// Same-typed on purpose: a rectangle in the order of every drawing API.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void FillRect(Raster& raster, int left, int top, int width, int height, PaletteIndex index) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) raster.Set(x, y, index);
  }
}

// Midpoint circle: the eight symmetric points of each step.
void DrawCircle(Raster& raster, Point centre, int radius, PaletteIndex index) {
  int x = radius;
  int y = 0;
  int error = 1 - radius;
  while (x >= y) {
    const std::array<Point, 8> octants = {
        {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}}};
    for (const Point& p : octants) raster.Set(centre.x + p.x, centre.y + p.y, index);
    ++y;
    if (error < 0) {
      error += 2 * y + 1;
    } else {
      --x;
      error += 2 * (y - x) + 1;
    }
  }
}

void FillCircle(Raster& raster, Point centre, int radius, PaletteIndex index) {
  // The +radius term rounds the edge the way the outline above does, so a
  // filled dot and its outline cover the same pixels.
  const int limit = radius * radius + radius;
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (dx * dx + dy * dy <= limit) raster.Set(centre.x + dx, centre.y + dy, index);
    }
  }
}

void FillPolygon(Raster& raster, std::span<const Point> corners, PaletteIndex index) {
  if (corners.size() < 3) return;
  int top = corners[0].y;
  int bottom = top;
  for (const Point& p : corners) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  std::vector<double> crossings;
  for (int y = top; y <= bottom; ++y) {
    const double scan = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < corners.size(); ++i) {
      const Point a = corners[i];
      const Point b = corners[(i + 1) % corners.size()];
      if ((a.y <= scan) == (b.y <= scan)) continue;
      crossings.push_back(a.x + (scan - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // The first pixel whose centre lies inside; rounding also finds it
      // for a crossing left of the raster (the pixel is then clipped).
      for (int x = static_cast<int>(NearestWhole(crossings[i])); x + 0.5 <= crossings[i + 1];
           ++x) {
        raster.Set(x, y, index);
      }
    }
  }
  // The outline makes thin shapes keep their corners.
  DrawPolygon(raster, corners, index);
}

void DrawPolygon(Raster& raster, std::span<const Point> corners, PaletteIndex index) {
  for (std::size_t i = 0; i < corners.size(); ++i) {
    DrawLine(raster, corners[i], corners[(i + 1) % corners.size()], index);
  }
}

}  // namespace pelorin
