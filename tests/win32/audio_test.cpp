// The Core Audio backend against Wine's own audio service. The test session
// runs Wine without an audio driver, so there is no playback device there.
// Given one, the second test shows steps reaching it where the device takes
// levels as scalars, as Windows does; Wine 8 refuses them (and keeps neither
// channel volumes nor a session list), and then a step must change nothing.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "actions/system_volume.h"
#include "platform/win32/audio.h"
#include "platform/win32/com_apartment.h"

namespace pelorin::win32 {
namespace {

// Asked of the system directly, not through the code under test.
bool PlaybackDeviceExists() {
  Microsoft::WRL::ComPtr<IMMDeviceEnumerator> devices;
  Microsoft::WRL::ComPtr<IMMDevice> device;
  return SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&devices))) &&
         SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device));
}

class Win32AudioTest : public ::testing::Test {
 protected:
  ~Win32AudioTest() override { DestroyWindow(window_); }
  // A window of this process, which plays nothing.
  WindowId Own() const { return reinterpret_cast<WindowId>(window_); }

  const ComApartment com_;
  HWND window_ = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  Win32Audio audio_;
  SystemVolume volume_{audio_};
};

TEST_F(Win32AudioTest, WithoutPlaybackDeviceNothingIsThereAndStepsDoNothing) {
  if (PlaybackDeviceExists()) GTEST_SKIP() << "this Wine session has a playback device";
  EXPECT_EQ(audio_.OpenDeviceVolume(), nullptr);
  EXPECT_EQ(audio_.OpenProgramVolume(Own()), nullptr);
  volume_.StepMaster(1024);
  volume_.StepWave(-1024, Own());
}

TEST_F(Win32AudioTest, StepsReachThePlaybackDevice) {
  if (!PlaybackDeviceExists()) GTEST_SKIP() << "no playback device in this Wine session";
  std::unique_ptr<VolumeControl> device = audio_.OpenDeviceVolume();
  ASSERT_NE(device, nullptr);
  const std::optional<StereoLevel> before = device->Levels();
  ASSERT_TRUE(before.has_value());
  // Unbalanced where the device keeps channels, else one level for both.
  device->SetLevels({40000, 20000});
  std::optional<StereoLevel> expected = device->Levels();
  if (expected != StereoLevel{40000, 20000} && expected != StereoLevel{40000, 40000}) {
    // Wine 8 keeps the device's level in decibels only and refuses it as a
    // scalar: then a step must leave the level as it is.
    volume_.StepMaster(1024);
    EXPECT_EQ(device->Levels(), expected);
    GTEST_SKIP() << "the device refuses levels as scalars";
  }
  volume_.StepMaster(1024);
  StepVolume(*expected, 1024);
  EXPECT_EQ(device->Levels(), expected);
  // This process plays nothing: its wave step goes to the device.
  EXPECT_EQ(audio_.OpenProgramVolume(Own()), nullptr);
  volume_.StepWave(-1024, Own());
  StepVolume(*expected, -1024);
  EXPECT_EQ(device->Levels(), expected);
  device->SetLevels(*before);
}

}  // namespace
}  // namespace pelorin::win32
