// The bitmap files and the in-memory bitmap are read back by Windows itself:
// what the Help tab saves must open as the same picture in any Windows
// program, and the bytes after the file header must be a BITMAPINFO that GDI
// draws as is.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "ui/bitmap_file.h"
#include "ui/wiring_pictures.h"

namespace pelorin {
namespace {

// A memory device context with a bitmap selected, released in reverse order.
class SelectedBitmap {
 public:
  explicit SelectedBitmap(HBITMAP bitmap)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(bitmap), old_(SelectObject(dc_, bitmap)) {}
  ~SelectedBitmap() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;

  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

COLORREF ColourOf(const Raster& raster, int x, int y) {
  const Rgb rgb = StandardPalette()[raster.At(x, y)];
  return RGB(rgb.red, rgb.green, rgb.blue);
}

void ExpectSamePixels(HDC dc, const Raster& raster) {
  int mismatches = 0;
  for (int y = 0; y < raster.height(); y += 7) {
    for (int x = 0; x < raster.width(); ++x) {
      if (GetPixel(dc, x, y) != ColourOf(raster, x, y) && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(BitmapFileWin32Test, WindowsLoadsTheSavedFileAsTheSameSixteenColourPicture) {
  const Raster picture = DrawFourButtonWiring().raster;
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "pelorin_win32_4.BMP";
  ASSERT_TRUE(WriteBitmapFile(path.string(), picture));
  auto* bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.string().c_str(), IMAGE_BITMAP, 0,
                                                 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::filesystem::remove(path);
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBmih.biWidth, picture.width());
  EXPECT_EQ(section.dsBmih.biHeight, picture.height());
  EXPECT_EQ(section.dsBmih.biBitCount, 4);
  const SelectedBitmap selected(bitmap);
  RGBQUAD table[16] = {};
  EXPECT_EQ(GetDIBColorTable(selected.dc(), 0, 16, table), 16u);
  ExpectSamePixels(selected.dc(), picture);
}

TEST(BitmapFileWin32Test, BytesAfterTheFileHeaderDrawAsADeviceIndependentBitmap) {
  const Raster picture = DrawFifteenButtonWiring().raster;
  const std::vector<std::uint8_t> bytes = EncodeBitmap(picture);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + kBitmapFileHeaderSize);
  HDC screen = GetDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(screen, picture.width(), picture.height());
  ReleaseDC(nullptr, screen);
  ASSERT_NE(target, nullptr);
  const SelectedBitmap selected(target);
  const int lines = SetDIBitsToDevice(selected.dc(), 0, 0, picture.width(), picture.height(), 0, 0,
                                      0, picture.height(), bytes.data() + kBitmapPixelOffset,
                                      info, DIB_RGB_COLORS);
  EXPECT_EQ(lines, picture.height());
  ExpectSamePixels(selected.dc(), picture);
}

}  // namespace
}  // namespace pelorin
