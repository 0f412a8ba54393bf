// The Core Audio backend against Wine's own audio service. The test session
// runs Wine without an audio driver, so there is no playback device there;
// with one (Wine given a sound server or an ALSA device) the second test
// shows a step reaching the device. Wine keeps no channel volumes and no
// session list, so the balance and the player's own session are Windows'
// to show.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <mmdeviceapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>

#include "actions/system_volume.h"
#include "platform/win32/audio.h"
#include "platform/win32/com_apartment.h"

namespace pelorin::win32 {
namespace {

// Asked of the system directly, not through the code under test.
bool PlaybackDeviceExists() {
  IMMDeviceEnumerator* devices = nullptr;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&devices)))) {
    return false;
  }
  IMMDevice* device = nullptr;
  const bool found = SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device));
  if (device != nullptr) device->Release();
  devices->Release();
  return found;
}

// A window of this process, which plays nothing.
class OwnWindow {
 public:
  OwnWindow()
      : window_(CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
  ~OwnWindow() { DestroyWindow(window_); }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  WindowId Id() const { return reinterpret_cast<WindowId>(window_); }

 private:
  HWND window_;
};

TEST(Win32AudioTest, WithoutPlaybackDeviceOrComNothingIsThereAndStepsDoNothing) {
  // Each case on a thread of its own, so that COM is set up exactly as said.
  for (const bool with_com : {false, true}) {
    std::thread([with_com] {
      std::optional<ComApartment> com;
      if (with_com) com.emplace();
      if (with_com && PlaybackDeviceExists()) return;  // the device case is the next test's
      const OwnWindow window;
      Win32Audio audio;
      EXPECT_EQ(audio.OpenDeviceVolume(), nullptr) << with_com;
      EXPECT_EQ(audio.OpenProgramVolume(window.Id()), nullptr) << with_com;
      EXPECT_EQ(audio.OpenProgramVolume(kNoWindow), nullptr) << with_com;
      SystemVolume volume(audio);
      volume.StepMaster(1024);
      volume.StepWave(-1024, window.Id());
    }).join();
  }
}

TEST(Win32AudioTest, StepsReachThePlaybackDevice) {
  const ComApartment com;
  if (!PlaybackDeviceExists()) GTEST_SKIP() << "no playback device in this Wine session";
  const OwnWindow window;
  Win32Audio audio;
  std::unique_ptr<VolumeControl> device = audio.OpenDeviceVolume();
  ASSERT_NE(device, nullptr);
  const std::optional<StereoLevel> before = device->Levels();
  ASSERT_TRUE(before.has_value());

  // Unbalanced where the device keeps channels, else one level for both.
  device->SetLevels({40000, 20000});
  std::optional<StereoLevel> expected = device->Levels();
  ASSERT_TRUE(expected == StereoLevel{40000, 20000} || expected == StereoLevel{40000, 40000})
      << "a level survives the way to the device and back";
  SystemVolume volume(audio);
  volume.StepMaster(1024);
  StepVolume(*expected, 1024);
  EXPECT_EQ(device->Levels(), expected);

  // This process plays nothing: its wave step goes to the device.
  EXPECT_EQ(audio.OpenProgramVolume(window.Id()), nullptr);
  volume.StepWave(-1024, window.Id());
  StepVolume(*expected, -1024);
  EXPECT_EQ(device->Levels(), expected);
  device->SetLevels(*before);
}

}  // namespace
}  // namespace pelorin::win32
