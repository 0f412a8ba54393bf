#pragma once
#include "platform/audio.h"

namespace pelorin::win32 {

// The volumes that are heard, through the Core Audio interfaces: the default
// playback device's (console role) endpoint volume, channel by channel, and
// a program's audio session on that device.
//
// Since Windows Vista the older mixer and wave-out volumes act only on the
// calling program's own session; Pelorin plays no sound, so those would
// change nothing anyone hears.
//
// Sets up COM on the calling thread at its first lookup
// (EnsureComOnThisThread); where COM cannot be had, every volume is "not
// there". Every volume is looked up afresh, so a device that
// was switched, plugged in or removed since the last command is honoured.
class Win32Audio final : public Audio {
 public:
  std::unique_ptr<VolumeControl> OpenDeviceVolume() override;
  // The session of the process owning `window` on the default playback
  // device; an active session before an inactive one, expired ones never.
  // Its one level scales every channel of the program's sound, so the
  // balance it has stays as it is.
  std::unique_ptr<VolumeControl> OpenProgramVolume(WindowId window) override;
};

}  // namespace pelorin::win32
