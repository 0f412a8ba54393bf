// The unchanged pelorin.exe under Wine opens the volume control that exists
// on Windows today: a single click on the icon, with the settings as they
// come, starts the volume mixer's single slider. Wine has no volume mixer:
// a stand-in takes its place in the system folder for the test's length.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/scenario.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

std::string SystemFolderFile(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length) + "\\" + name;
}

TEST(VolumeControlTest, DefaultSingleClickStartsTheMixersSlider) {
  const std::string mixer = SystemFolderFile("sndvol.exe");
  const std::string starts = mixer + ".log";  // the stand-in's arguments, a line per start
  DeleteFileA(starts.c_str());
  ASSERT_TRUE(
      CopyFileA(WindowsPathOf(VOLUME_CONTROL_STANDIN_UNIX_PATH).c_str(), mixer.c_str(), FALSE));
  {
    Scenario scenario("volume-control");
    auto program = scenario.StartConfigured();
    // A left press on the icon; the action runs when the double-click window
    // has passed without a second press.
    PostMessageA(FindPropertiesWindow(), WM_USER + 1, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return !ReadFileText(starts).empty(); }))
        << "the volume control was not started";
    EXPECT_EQ(ReadFileText(starts), "-f\n");
  }
  DeleteFileA(mixer.c_str());
  DeleteFileA(starts.c_str());
}

}  // namespace
}  // namespace pelorin::e2e
