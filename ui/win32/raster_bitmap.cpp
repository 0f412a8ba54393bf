#include "ui/win32/raster_bitmap.h"

#include <cstdint>

#include "ui/wiring_pictures.h"

namespace pelorin::win32 {

UniqueGdi<HBITMAP> BitmapFromRaster(const Raster& raster) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = raster.width();
  info.bmiHeader.biHeight = -raster.height();  // top row first, as the raster holds it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdi<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return bitmap;
  auto* out = static_cast<std::uint32_t*>(bits);
  const auto& palette = StandardPalette();
  for (PaletteIndex index : raster.pixels()) {
    const Rgb& c = palette[index & 0x0F];
    *out++ = (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
  }
  return bitmap;
}

UniqueGdi<HBITMAP> FourButtonWiringBitmap() {
  return BitmapFromRaster(DrawFourButtonWiring().raster);
}

UniqueGdi<HBITMAP> FifteenButtonWiringBitmap() {
  return BitmapFromRaster(DrawFifteenButtonWiring().raster);
}

}  // namespace pelorin::win32
