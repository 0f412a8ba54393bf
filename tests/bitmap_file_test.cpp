#include "ui/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pelorin {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Every palette index in a pattern that differs between neighbours, rows and
// nibbles, so that a swapped nibble, row or stride shows.
Raster Pattern(int width, int height) {
  Raster raster(width, height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      raster.Set(x, y, static_cast<PaletteIndex>((x * 7 + y * 3) % 16));
  }
  return raster;
}

TEST(BitmapFileTest, HeadersDescribeAFourBitPaletteBitmap) {
  const std::vector<std::uint8_t> bytes = EncodeBitmap(Raster(300, 294, colour::kWhite));
  const std::size_t stride = 152;
  ASSERT_EQ(bytes.size(), 14u + 40u + 64u + stride * 294u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(U32At(bytes, 2), bytes.size());
  EXPECT_EQ(U32At(bytes, 6), 0u);
  EXPECT_EQ(U32At(bytes, 10), 118u);
  EXPECT_EQ(U32At(bytes, 14), 40u);
  EXPECT_EQ(U32At(bytes, 18), 300u);
  EXPECT_EQ(U32At(bytes, 22), 294u);  // positive height: bottom-up rows
  EXPECT_EQ(U16At(bytes, 26), 1u);
  EXPECT_EQ(U16At(bytes, 28), 4u);
  EXPECT_EQ(U32At(bytes, 30), 0u);
  EXPECT_EQ(U32At(bytes, 34), stride * 294u);
  EXPECT_EQ(U32At(bytes, 46), 16u);
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgb expected = StandardPalette()[i];
    const std::size_t at = 54 + 4 * static_cast<std::size_t>(i);
    EXPECT_EQ((Rgb{bytes[at + 2], bytes[at + 1], bytes[at]}), expected) << "entry " << i;
    EXPECT_EQ(bytes[at + 3], 0) << "entry " << i;
  }
}

TEST(BitmapFileTest, PaletteIsTheStandardWindowsOrder) {
  const auto& palette = StandardPalette();
  EXPECT_EQ(palette[colour::kBlack], (Rgb{0, 0, 0}));
  EXPECT_EQ(palette[colour::kMaroon], (Rgb{0x80, 0, 0}));
  EXPECT_EQ(palette[colour::kNavy], (Rgb{0, 0, 0x80}));
  EXPECT_EQ(palette[colour::kSilver], (Rgb{0xC0, 0xC0, 0xC0}));
  EXPECT_EQ(palette[colour::kGray], (Rgb{0x80, 0x80, 0x80}));
  EXPECT_EQ(palette[colour::kRed], (Rgb{0xFF, 0, 0}));
  EXPECT_EQ(palette[colour::kBlue], (Rgb{0, 0, 0xFF}));
  EXPECT_EQ(palette[colour::kWhite], (Rgb{0xFF, 0xFF, 0xFF}));
}

TEST(BitmapFileTest, BottomRowComesFirstWithTheLeftPixelInTheHighNibble) {
  Raster raster(3, 2, 0);
  raster.Set(0, 1, 0x5);
  raster.Set(1, 1, 0xA);
  raster.Set(2, 1, 0xC);
  raster.Set(0, 0, 0x1);
  const std::vector<std::uint8_t> bytes = EncodeBitmap(raster);
  ASSERT_EQ(bytes.size(), kBitmapPixelOffset + 2 * 4);
  const std::vector<std::uint8_t> rows(bytes.begin() + kBitmapPixelOffset, bytes.end());
  EXPECT_EQ(rows, (std::vector<std::uint8_t>{0x5A, 0xC0, 0, 0, 0x10, 0, 0, 0}));
}

struct StrideCase {
  int width;
  std::size_t stride;
};

class BitmapStrideTest : public testing::TestWithParam<StrideCase> {};

TEST_P(BitmapStrideTest, RowsArePaddedToFourBytes) {
  EXPECT_EQ(BitmapRowStride(GetParam().width), GetParam().stride);
}

INSTANTIATE_TEST_SUITE_P(Widths, BitmapStrideTest,
                         testing::Values(StrideCase{1, 4}, StrideCase{8, 4}, StrideCase{9, 8},
                                         StrideCase{16, 8}, StrideCase{17, 12},
                                         StrideCase{300, 152}, StrideCase{1340, 672}));

class BitmapRoundTripTest : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BitmapRoundTripTest, DecodingGivesBackEveryPixelAndThePalette) {
  const Raster original = Pattern(GetParam().first, GetParam().second);
  const std::vector<std::uint8_t> bytes = EncodeBitmap(original);
  const std::optional<DecodedBitmap> decoded = DecodeBitmap(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->raster, original);
  EXPECT_EQ(decoded->palette, std::vector<Rgb>(StandardPalette().begin(), StandardPalette().end()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, BitmapRoundTripTest,
                         testing::Values(std::pair{1, 1}, std::pair{2, 3}, std::pair{7, 5},
                                         std::pair{9, 2}, std::pair{300, 294},
                                         std::pair{1340, 300}));

TEST(BitmapFileTest, TopDownFilesAreReadTopRowFirst) {
  const Raster original = Pattern(5, 3);
  std::vector<std::uint8_t> bytes = EncodeBitmap(original);
  // Negate the height and reverse the row order by hand.
  const std::int32_t negative = -3;
  for (int i = 0; i < 4; ++i) bytes[22 + i] = static_cast<std::uint8_t>(negative >> (8 * i));
  const std::size_t stride = BitmapRowStride(5);
  std::vector<std::uint8_t> flipped(bytes.begin(), bytes.begin() + kBitmapPixelOffset);
  for (int row = 2; row >= 0; --row) {
    const auto start =
        bytes.begin() + static_cast<std::ptrdiff_t>(kBitmapPixelOffset + row * stride);
    flipped.insert(flipped.end(), start, start + static_cast<std::ptrdiff_t>(stride));
  }
  const std::optional<DecodedBitmap> decoded = DecodeBitmap(flipped);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->raster, original);
}

TEST(BitmapFileTest, MalformedFilesAreRejectedWithoutReadingPastTheEnd) {
  const std::vector<std::uint8_t> good = EncodeBitmap(Pattern(9, 4));
  for (std::size_t length :
       {std::size_t{0}, std::size_t{13}, std::size_t{53}, std::size_t{117}, good.size() - 1}) {
    const std::vector<std::uint8_t> cut(good.begin(),
                                        good.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(DecodeBitmap(cut).has_value()) << "cut to " << length;
  }
  auto with = [&good](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> changed = good;
    changed[at] = value;
    return changed;
  };
  EXPECT_FALSE(DecodeBitmap(with(0, 'X')).has_value());    // not "BM"
  EXPECT_FALSE(DecodeBitmap(with(28, 8)).has_value());     // 8 bits per pixel
  EXPECT_FALSE(DecodeBitmap(with(30, 2)).has_value());     // run-length compressed
  EXPECT_FALSE(DecodeBitmap(with(21, 0x7F)).has_value());  // absurd width
  EXPECT_FALSE(DecodeBitmap(with(13, 0x7F)).has_value());  // pixels beyond the end
  EXPECT_FALSE(DecodeBitmap(with(46, 17)).has_value());    // more than 16 colours
}

TEST(BitmapFileTest, WrittenFileReadsBackAsTheSamePicture) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "pelorin_bitmap_file_test.bmp";
  const Raster original = Pattern(13, 6);
  ASSERT_TRUE(WriteBitmapFile(path.string(), Raster(40, 40, 3)));
  ASSERT_TRUE(WriteBitmapFile(path.string(), original));  // replaces the larger file
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  file.close();
  std::filesystem::remove(path);
  const std::optional<DecodedBitmap> decoded = DecodeBitmap(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->raster, original);
}

TEST(BitmapFileTest, WritingIntoAMissingFolderFails) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "pelorin_no_such_folder" / "4.BMP";
  EXPECT_FALSE(WriteBitmapFile(path.string(), Raster(4, 4, 0)));
}

}  // namespace
}  // namespace pelorin
