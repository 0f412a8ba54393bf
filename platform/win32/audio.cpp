#include "platform/win32/audio.h"

#include <windows.h>
// After <windows.h>, which they build on.
#include <audiopolicy.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/com_apartment.h"

namespace pelorin::win32 {
namespace {

using Microsoft::WRL::ComPtr;

constexpr float kFullLevel = 65535.0F;

// Core Audio gives levels as scalars from 0.0 to 1.0; the steps work on
// 0..65535. Every level of 0..65535 survives the way there and back.
std::uint16_t LevelOf(float scalar) {
  return static_cast<std::uint16_t>(std::lround(std::clamp(scalar, 0.0F, 1.0F) * kFullLevel));
}

float ScalarOf(std::uint16_t level) {
  return static_cast<float>(level) / kFullLevel;
}

// The default playback device; null when there is none (E_NOTFOUND) or the
// device list cannot be reached (no COM, audio service stopped).
ComPtr<IMMDevice> DefaultPlaybackDevice() {
  EnsureComOnThisThread();
  ComPtr<IMMDeviceEnumerator> devices;
  if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&devices)))) {
    return nullptr;
  }
  // The console role is the device that "Set Default" in the sound settings
  // marks, and the one that the volume in the notification area changes.
  ComPtr<IMMDevice> device;
  if (FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device))) return nullptr;
  return device;
}

// The endpoint volume of a playback device, channel by channel, so that the
// balance between the channels is the step's to keep. Where the channels
// cannot be read (Wine has no channel volumes) the device's one master level
// serves instead, which scales all channels alike.
class DeviceVolume final : public VolumeControl {
 public:
  explicit DeviceVolume(ComPtr<IAudioEndpointVolume> volume) : volume_(std::move(volume)) {}

  std::optional<StereoLevel> Levels() override {
    std::vector<float> channels = ReadChannels();
    if (channels.empty()) {
      float master = 0.0F;
      if (FAILED(volume_->GetMasterVolumeLevelScalar(&master))) return std::nullopt;
      return StereoLevel{LevelOf(master), LevelOf(master)};
    }
    const float right = channels.size() > 1 ? channels[1] : channels[0];
    return StereoLevel{LevelOf(channels[0]), LevelOf(right)};
  }

  void SetLevels(StereoLevel level) override {
    const std::vector<float> old = ReadChannels();
    // A refused write leaves that channel as it was; that is not reported.
    if (old.empty()) {
      volume_->SetMasterVolumeLevelScalar(ScalarOf(std::max(level.left, level.right)), nullptr);
      return;
    }
    if (old.size() == 1) {
      volume_->SetChannelVolumeLevelScalar(0, ScalarOf(std::max(level.left, level.right)), nullptr);
      return;
    }
    volume_->SetChannelVolumeLevelScalar(0, ScalarOf(level.left), nullptr);
    volume_->SetChannelVolumeLevelScalar(1, ScalarOf(level.right), nullptr);
    const float old_louder = std::max(old[0], old[1]);
    const float new_louder = ScalarOf(std::max(level.left, level.right));
    for (UINT channel = 2; channel < old.size(); ++channel) {
      volume_->SetChannelVolumeLevelScalar(
          channel, FollowTheFront(old[channel], old_louder, new_louder), nullptr);
    }
  }

 private:
  // Every channel's scalar; empty when there are none or any cannot be read.
  std::vector<float> ReadChannels() {
    UINT count = 0;
    if (FAILED(volume_->GetChannelCount(&count))) return {};
    std::vector<float> channels(count);
    for (UINT channel = 0; channel < count; ++channel) {
      if (FAILED(volume_->GetChannelVolumeLevelScalar(channel, &channels[channel]))) return {};
    }
    return channels;
  }

  // A channel beyond the front pair (centre, rear, bass) moves in
  // proportion to the louder front channel; from silence it moves by the
  // same amount, as equal channels do.
  static float FollowTheFront(float channel, float old_louder, float new_louder) {
    const float moved =
        old_louder > 0.0F ? channel * new_louder / old_louder : channel + (new_louder - old_louder);
    return std::clamp(moved, 0.0F, 1.0F);
  }

  ComPtr<IAudioEndpointVolume> volume_;
};

// One program's audio session: a single level over all of its channels.
class SessionVolume final : public VolumeControl {
 public:
  explicit SessionVolume(ComPtr<ISimpleAudioVolume> volume) : volume_(std::move(volume)) {}

  std::optional<StereoLevel> Levels() override {
    float scalar = 0.0F;
    if (FAILED(volume_->GetMasterVolume(&scalar))) return std::nullopt;
    return StereoLevel{LevelOf(scalar), LevelOf(scalar)};
  }

  void SetLevels(StereoLevel level) override {
    // A refused write leaves the volume as it was; that is not reported.
    volume_->SetMasterVolume(ScalarOf(std::max(level.left, level.right)), nullptr);
  }

 private:
  ComPtr<ISimpleAudioVolume> volume_;
};

// The volume of the session that `process` plays on `device`: an active one
// first, else the first inactive one; null when it has none.
ComPtr<ISimpleAudioVolume> SessionOfProcess(IMMDevice& device, DWORD process) {
  ComPtr<IAudioSessionManager2> manager;
  if (FAILED(device.Activate(__uuidof(IAudioSessionManager2), CLSCTX_INPROC_SERVER, nullptr,
                             reinterpret_cast<void**>(manager.GetAddressOf())))) {
    return nullptr;
  }
  ComPtr<IAudioSessionEnumerator> sessions;
  int count = 0;
  if (FAILED(manager->GetSessionEnumerator(&sessions)) || FAILED(sessions->GetCount(&count))) {
    return nullptr;
  }
  ComPtr<ISimpleAudioVolume> inactive;
  for (int index = 0; index < count; ++index) {
    ComPtr<IAudioSessionControl> session;
    ComPtr<IAudioSessionControl2> owned;
    DWORD owner = 0;
    AudioSessionState state = AudioSessionStateExpired;
    // S_OK only: a session shared by several processes is not the player's.
    if (FAILED(sessions->GetSession(index, &session)) || FAILED(session.As(&owned)) ||
        owned->GetProcessId(&owner) != S_OK || owner != process ||
        FAILED(session->GetState(&state)) || state == AudioSessionStateExpired) {
      continue;
    }
    ComPtr<ISimpleAudioVolume> volume;
    if (FAILED(session.As(&volume))) continue;
    if (state == AudioSessionStateActive) return volume;
    if (!inactive) inactive = volume;
  }
  return inactive;
}

}  // namespace

std::unique_ptr<VolumeControl> Win32Audio::OpenDeviceVolume() {
  ComPtr<IMMDevice> device = DefaultPlaybackDevice();
  if (!device) return nullptr;
  ComPtr<IAudioEndpointVolume> volume;
  if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                              reinterpret_cast<void**>(volume.GetAddressOf())))) {
    return nullptr;
  }
  return std::make_unique<DeviceVolume>(std::move(volume));
}

std::unique_ptr<VolumeControl> Win32Audio::OpenProgramVolume(WindowId window) {
  if (window == kNoWindow) return nullptr;
  DWORD process = 0;
  if (::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process) == 0) return nullptr;
  ComPtr<IMMDevice> device = DefaultPlaybackDevice();
  if (!device) return nullptr;
  ComPtr<ISimpleAudioVolume> volume = SessionOfProcess(*device.Get(), process);
  if (!volume) return nullptr;
  return std::make_unique<SessionVolume>(std::move(volume));
}

}  // namespace pelorin::win32
