// Reading a bitmap file must never read outside its bytes, whatever they
// hold; and what it accepts must survive a write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/bitmap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto decoded = pelorin::DecodeBitmap(std::span<const std::uint8_t>(data, size));
  if (!decoded) return 0;
  const auto again = pelorin::DecodeBitmap(pelorin::EncodeBitmap(decoded->raster));
  if (!again || !(again->raster == decoded->raster)) std::abort();
  return 0;
}
