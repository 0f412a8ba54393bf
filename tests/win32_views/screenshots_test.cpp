// Pictures of every tab and of both remap dialog pages, for the README and
// for looking at the layout. Runs only when PELORIN_SCREENSHOT_DIR names a
// folder; scripts/screenshots.sh sets it and turns the files into PNG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32_views/view_rig.h"

namespace pelorin::testing {
namespace {

// Writes what the screen shows of `hwnd`, frame included, as a 24-bit BMP.
void SaveWindowPicture(HWND hwnd, const std::string& path) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  win32::WindowDc screen(nullptr);
  win32::MemoryDc memory(screen.Get());
  win32::UniqueGdi<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
  {
    // GetDIBits wants the bitmap out of any device context.
    win32::SelectedObject selected(memory.Get(), bitmap.get());
    BitBlt(memory.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h));
  GetDIBits(memory.Get(), bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
  }
}

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("PELORIN_SCREENSHOT_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "PELORIN_SCREENSHOT_DIR not set";
    dir_ = dir;
  }
  void Shoot(HWND hwnd, const std::string& name) {
    // Let every control paint before the picture is taken.
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int k = 0; k < 10; ++k) {
      rig_.Pump();
      Sleep(30);
    }
    SaveWindowPicture(hwnd, dir_ + "\\" + name + ".bmp");
  }
  ViewRig rig_;
  std::string dir_;
};

TEST_F(Screenshots, EveryTabAndBothRemapPages) {
  rig_.settings.Options.UsePort2 = true;
  rig_.host.stored = rig_.settings;
  rig_.host.stored.Options.UsePort2 = true;
  rig_.host.stored.Primary.Port = 0;
  rig_.ShowWindow();
  HWND window = rig_.view.Handle();
  Shoot(window, "com-ports");
  rig_.SelectTab(1);
  // "Clicks+Hold" shows all three rows; row 3 starts a file.
  rig_.Choose(rig_.Control(WinampControl::PrimaryClickModeList), 4);
  rig_.Choose(rig_.Control(WinampControl::PrimaryRow3List), 53);
  rig_.Choose(rig_.Control(WinampControl::SecondaryClickModeList), 0);
  Shoot(window, "winamp-clicks");
  // The other row layout: "Turbo" shows row 3 alone; here it presses a key.
  rig_.Choose(rig_.Control(WinampControl::PrimaryClickModeList), 2);
  rig_.Choose(rig_.Control(WinampControl::PrimaryRow3List), 52);
  Shoot(window, "winamp-turbo");
  // The secondary port switched off: its group keeps its texts but greys
  // its labels, and its lists take the button face.
  rig_.SelectTab(0);
  rig_.Click(rig_.Control(ComPortsControl::UseSecondaryCheck));
  rig_.SelectTab(1);
  Shoot(window, "winamp-secondary-off");
  rig_.SelectTab(0);
  rig_.Click(rig_.Control(ComPortsControl::UseSecondaryCheck));
  rig_.SelectTab(2);
  Shoot(window, "options");
  rig_.SelectTab(3);
  Shoot(window, "help-4");
  rig_.Click(rig_.Control(HelpAboutControl::FifteenButtonsPageButton));
  Shoot(window, "help-15");
  rig_.SelectTab(4);
  Shoot(window, "about");
  rig_.SelectTab(0);
  rig_.Click(rig_.Control(ComPortsControl::PrimaryRemapButton));
  Shoot(rig_.remap_view1.Handle(), "remap-manual");
  rig_.Click(rig_.Control(PortRole::Primary, RemapControl::AssignAutomaticallyButton));
  Shoot(rig_.remap_view1.Handle(), "remap-auto");
  rig_.Click(rig_.Control(PortRole::Primary, RemapControl::AutoCancelButton));
  rig_.Click(rig_.Control(PortRole::Primary, RemapControl::CancelButton));
}

}  // namespace
}  // namespace pelorin::testing
