#pragma once
#include "platform/audio.h"
#include "platform/window_id.h"

namespace pelorin::win32 {

// The multimedia mixer (device 0) and the wave mapper's volume through winmm.
class Win32Audio final : public Audio {
 public:
  // Mixer handles report to `callback_window` (the program's main window);
  // with kNoWindow they report to nobody.
  explicit Win32Audio(WindowId callback_window) : callback_window_(callback_window) {}
  // The window exists only after the program's central object: set it
  // before the mixer is opened.
  void SetCallbackWindow(WindowId window) { callback_window_ = window; }

  std::unique_ptr<MixerDevice> OpenMixer() override;
  std::optional<StereoLevel> GetWaveVolume() override;
  void SetWaveVolume(StereoLevel level) override;

 private:
  WindowId callback_window_;
};

}  // namespace pelorin::win32
