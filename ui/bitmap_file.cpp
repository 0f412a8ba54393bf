#include "ui/bitmap_file.h"

#include <cstdio>
#include <memory>

namespace pelorin {
namespace {

// About 96 dots per inch, the resolution the pictures are drawn for.
constexpr std::uint32_t kPixelsPerMetre = 3780;
constexpr std::uint16_t kFileType = 0x4D42;  // "BM"
constexpr std::uint32_t kUncompressed = 0;   // BI_RGB
// Anything larger is no picture of ours; the limit keeps size sums in range.
constexpr std::int64_t kMaxDimension = 1 << 15;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
  }
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutHeaders(std::vector<std::uint8_t>& out, const Raster& raster, std::uint32_t image_size) {
  PutU16(out, kFileType);
  PutU32(out, static_cast<std::uint32_t>(kBitmapPixelOffset + image_size));
  PutU32(out, 0);  // the two reserved words
  PutU32(out, static_cast<std::uint32_t>(kBitmapPixelOffset));

  PutU32(out, static_cast<std::uint32_t>(kBitmapInfoHeaderSize));
  PutU32(out, static_cast<std::uint32_t>(raster.width()));
  PutU32(out, static_cast<std::uint32_t>(raster.height()));  // positive: bottom-up
  PutU16(out, 1);                                            // planes
  PutU16(out, 4);                                            // bits per pixel
  PutU32(out, kUncompressed);
  PutU32(out, image_size);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, kPaletteSize);  // colours used
  PutU32(out, 0);             // all colours important
  for (const Rgb& entry : StandardPalette()) {
    out.insert(out.end(), {entry.blue, entry.green, entry.red, 0});
  }
}

}  // namespace

std::size_t BitmapRowStride(int width) {
  return (static_cast<std::size_t>(width) * 4 + 31) / 32 * 4;
}

std::vector<std::uint8_t> EncodeBitmap(const Raster& raster) {
  const std::size_t stride = BitmapRowStride(raster.width());
  const std::size_t image_size = stride * static_cast<std::size_t>(raster.height());
  std::vector<std::uint8_t> out;
  out.reserve(kBitmapPixelOffset + image_size);
  PutHeaders(out, raster, static_cast<std::uint32_t>(image_size));
  for (int y = raster.height() - 1; y >= 0; --y) {
    const std::size_t row_start = out.size();
    for (int x = 0; x < raster.width(); x += 2) {
      const int right = x + 1 < raster.width() ? raster.At(x + 1, y) : 0;
      out.push_back(static_cast<std::uint8_t>(raster.At(x, y) << 4 | right));
    }
    out.resize(row_start + stride, 0);
  }
  return out;
}

std::optional<DecodedBitmap> DecodeBitmap(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kBitmapFileHeaderSize + kBitmapInfoHeaderSize) return std::nullopt;
  if (GetU16(bytes, 0) != kFileType) return std::nullopt;
  const std::uint32_t pixel_offset = GetU32(bytes, 10);
  const std::uint32_t info_size = GetU32(bytes, 14);
  const auto width = static_cast<std::int32_t>(GetU32(bytes, 18));
  const auto signed_height = static_cast<std::int32_t>(GetU32(bytes, 22));
  const std::uint16_t planes = GetU16(bytes, 26);
  const std::uint16_t bits = GetU16(bytes, 28);
  const std::uint32_t compression = GetU32(bytes, 30);
  std::uint32_t colours_used = GetU32(bytes, 46);
  if (info_size < kBitmapInfoHeaderSize || planes != 1 || bits != 4 ||
      compression != kUncompressed) {
    return std::nullopt;
  }
  const std::int64_t height = signed_height < 0 ? -static_cast<std::int64_t>(signed_height)
                                                : static_cast<std::int64_t>(signed_height);
  if (width <= 0 || width > kMaxDimension || height == 0 || height > kMaxDimension) {
    return std::nullopt;
  }
  if (colours_used == 0) colours_used = kPaletteSize;
  if (colours_used > kPaletteSize) return std::nullopt;

  const std::size_t palette_at = kBitmapFileHeaderSize + info_size;
  const std::size_t stride = BitmapRowStride(width);
  if (palette_at + 4 * std::size_t{colours_used} > bytes.size() || pixel_offset > bytes.size() ||
      stride * static_cast<std::size_t>(height) > bytes.size() - pixel_offset) {
    return std::nullopt;
  }

  DecodedBitmap decoded{Raster(width, static_cast<int>(height), 0), {}};
  for (std::uint32_t i = 0; i < colours_used; ++i) {
    const std::size_t at = palette_at + std::size_t{4} * i;
    decoded.palette.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
  }
  for (int row = 0; row < height; ++row) {
    const int y = signed_height < 0 ? row : static_cast<int>(height) - 1 - row;
    const std::size_t row_at = pixel_offset + stride * static_cast<std::size_t>(row);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t pair = bytes[row_at + static_cast<std::size_t>(x / 2)];
      decoded.raster.Set(x, y, x % 2 == 0 ? pair >> 4 : pair & 0x0F);
    }
  }
  return decoded;
}

namespace {

// Closes a file whose outcome no longer matters (an early return).
struct CloseFile {
  void operator()(std::FILE* file) const { (void)std::fclose(file); }
};

}  // namespace

bool WriteBitmapFile(const std::string& path, const Raster& raster) {
  // C's files rather than a stream: a stream brings the C++ locales into a
  // program that has no other use for them (about 700 KiB of the Windows
  // program).
  const std::vector<std::uint8_t> bytes = EncodeBitmap(raster);
  std::FILE* opened = std::fopen(path.c_str(), "wb");
  if (opened == nullptr) return false;
  std::unique_ptr<std::FILE, CloseFile> file(opened);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  // Closing flushes: a full disk may only show here.
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace pelorin
