#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/raster.h"

namespace pelorin {

// Windows bitmap files of 4 bits per pixel: BITMAPFILEHEADER (14 bytes),
// BITMAPINFOHEADER (40 bytes), the 16 palette entries as blue, green, red,
// zero, then the rows bottom-up, two pixels per byte (left pixel in the high
// nibble), each row padded to a multiple of 4 bytes.
inline constexpr std::size_t kBitmapFileHeaderSize = 14;
inline constexpr std::size_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kBitmapPaletteSize = std::size_t{4} * kPaletteSize;
inline constexpr std::size_t kBitmapPixelOffset =
    kBitmapFileHeaderSize + kBitmapInfoHeaderSize + kBitmapPaletteSize;

// Bytes of one stored row of a 4-bit bitmap of this width.
std::size_t BitmapRowStride(int width);

// The whole file in memory, with the standard palette. Because the info
// header and palette follow the file header directly, the bytes from offset
// 14 on form a BITMAPINFO and pixel block that a Win32 view can draw as is.
std::vector<std::uint8_t> EncodeBitmap(const Raster& raster);

struct DecodedBitmap {
  Raster raster;
  std::vector<Rgb> palette;
};

// Reads a 4-bit uncompressed bitmap, bottom-up or top-down. Pixels keep the
// stored indices, even where a shorter palette has no entry for them.
// Returns nothing
// for anything else or for a file whose sizes and offsets do not fit its
// length; it never reads outside `bytes`.
std::optional<DecodedBitmap> DecodeBitmap(std::span<const std::uint8_t> bytes);

// Writes EncodeBitmap(raster) to `path`, replacing a file of that name.
// Returns false when the file cannot be created or written completely.
bool WriteBitmapFile(const std::string& path, const Raster& raster);

}  // namespace pelorin
