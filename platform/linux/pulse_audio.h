#pragma once
#include <sys/types.h>

#include <chrono>
#include <memory>

#include "platform/audio.h"
#include "platform/trace.h"

namespace pelorin::linux_os {

class PulseConnection;

// The volumes that are heard, through the PulseAudio client API (PipeWire's
// PulseAudio server answers the same way): the default sink's volume,
// channel by channel, and the stream (sink input) that a program plays.
// Levels map 0..65535 onto 0..100 % (PA_VOLUME_NORM); a channel amplified
// beyond 100 % reads as 65535 and keeps its amplification when a write
// leaves it at the level it read.
//
// One connection is kept between calls and made again once the server went
// away; the server is never started on demand. Every wait on the server has
// a time limit (kAnswerLimit), so a server that hangs costs a skipped step,
// never a stuck program. Without a server every volume is "not there"; the
// reason goes once to `notices` (the standard error stream by default) and
// to the trace, and again only after the server was reachable in between.
//
// Called from one thread only; the connection runs only inside the calls.
class PulseAudio final : public Audio {
 public:
  static constexpr std::chrono::milliseconds kAnswerLimit{750};

  explicit PulseAudio(TraceSink& notices = StandardErrorTrace());
  ~PulseAudio() override;
  PulseAudio(const PulseAudio&) = delete;
  PulseAudio& operator=(const PulseAudio&) = delete;

  // The default sink as it is now; later changes of the default do not
  // move the volume returned.
  std::unique_ptr<VolumeControl> OpenDeviceVolume() override;
  // A Linux player has no window this program addresses; the Linux player
  // seam names the player by its process id, and `window` carries that id
  // (kNoWindow: no player). The same as OpenProcessVolume.
  std::unique_ptr<VolumeControl> OpenProgramVolume(WindowId window) override;
  // The stream that process `process` plays, on whichever sink: a playing
  // one before a paused (corked) one; nullptr when it plays none whose
  // volume can be set.
  std::unique_ptr<VolumeControl> OpenProcessVolume(pid_t process);

 private:
  // The connection, made again when it broke; nullptr without a server.
  std::shared_ptr<PulseConnection> Connection();

  TraceSink& notices_;
  std::shared_ptr<PulseConnection> connection_;
  bool told_unreachable_ = false;
};

}  // namespace pelorin::linux_os
