// The unchanged pelorin.exe under Wine opens the volume control that exists
// on Windows today: a single click on the icon, with the settings as they
// come, starts the volume mixer with its single slider.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/scenario.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

// A stand-in volume control in the prefix's system folder for the test's
// length; Wine has none of its own.
class VolumeControlInSystemFolder {
 public:
  VolumeControlInSystemFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    path_ = std::string(folder, length) + "\\sndvol.exe";
    DeleteFileA(LogPath().c_str());
    copied_ = CopyFileA(WindowsPathOf(VOLUME_CONTROL_STANDIN_UNIX_PATH).c_str(), path_.c_str(),
                        FALSE) != 0;
  }
  ~VolumeControlInSystemFolder() {
    DeleteFileA(path_.c_str());
    DeleteFileA(LogPath().c_str());
  }
  VolumeControlInSystemFolder(const VolumeControlInSystemFolder&) = delete;
  VolumeControlInSystemFolder& operator=(const VolumeControlInSystemFolder&) = delete;

  bool Copied() const { return copied_; }
  // One line per start: its arguments.
  std::string Starts() const { return ReadFileText(LogPath()); }

 private:
  std::string LogPath() const { return path_ + ".log"; }

  std::string path_;
  bool copied_ = false;
};

TEST(VolumeControlTest, DefaultSingleClickStartsTheMixersSlider) {
  VolumeControlInSystemFolder volume_control;
  ASSERT_TRUE(volume_control.Copied());
  Scenario scenario("volume-control");
  auto program = scenario.StartConfigured();
  ASSERT_NE(FindPropertiesWindow(), nullptr);

  // A left press on the icon; the action runs when the double-click window
  // has passed without a second press.
  PostMessageA(FindPropertiesWindow(), WM_USER + 1, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitUntil([&] { return !volume_control.Starts().empty(); }))
      << "the volume control was not started";
  EXPECT_EQ(volume_control.Starts(), "-f\n");
}

}  // namespace
}  // namespace pelorin::e2e
