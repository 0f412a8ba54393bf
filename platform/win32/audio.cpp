#include "platform/win32/audio.h"

#include <windows.h>
// After <windows.h>, which it builds on.
#include <mmsystem.h>

namespace pelorin::win32 {
namespace {

constexpr DWORD kChannels = 2;

class Win32MixerDevice final : public MixerDevice {
 public:
  explicit Win32MixerDevice(HMIXER mixer) : mixer_(mixer) {}
  Win32MixerDevice(const Win32MixerDevice&) = delete;
  Win32MixerDevice& operator=(const Win32MixerDevice&) = delete;
  ~Win32MixerDevice() override { ::mixerClose(mixer_); }

  std::optional<std::uint32_t> DestinationCount() override {
    MIXERCAPSA caps{};
    if (::mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer_), &caps, sizeof caps) !=
        MMSYSERR_NOERROR) {
      return std::nullopt;
    }
    return caps.cDestinations;
  }

  std::optional<MixerLine> Destination(std::uint32_t index) override {
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwDestination = index;
    line.dwSource = 0;
    return LineInfo(line, MIXER_GETLINEINFOF_DESTINATION);
  }

  std::optional<MixerLine> LineByComponentType(std::uint32_t component_type) override {
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = component_type;
    return LineInfo(line, MIXER_GETLINEINFOF_COMPONENTTYPE);
  }

  std::optional<std::uint32_t> VolumeControl(std::uint32_t line_id) override {
    MIXERCONTROLA control{};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line_id;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (::mixerGetLineControlsA(Object(), &controls,
                                MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
      return std::nullopt;
    }
    return control.dwControlID;
  }

  std::optional<StereoLevel> GetLevels(std::uint32_t control_id) override {
    MIXERCONTROLDETAILS_UNSIGNED values[kChannels] = {};
    MIXERCONTROLDETAILS details = Details(control_id, values);
    if (::mixerGetControlDetailsA(Object(), &details,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR) {
      return std::nullopt;
    }
    return StereoLevel{static_cast<std::uint16_t>(values[0].dwValue & 0xFFFF),
                       static_cast<std::uint16_t>(values[1].dwValue & 0xFFFF)};
  }

  void SetLevels(std::uint32_t control_id, StereoLevel level) override {
    MIXERCONTROLDETAILS_UNSIGNED values[kChannels] = {{level.left}, {level.right}};
    MIXERCONTROLDETAILS details = Details(control_id, values);
    // A refused write leaves the volume as it was; that is not reported.
    ::mixerSetControlDetails(Object(), &details,
                             MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  }

 private:
  HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

  std::optional<MixerLine> LineInfo(MIXERLINEA& line, DWORD query) {
    if (::mixerGetLineInfoA(Object(), &line, MIXER_OBJECTF_HMIXER | query) != MMSYSERR_NOERROR) {
      return std::nullopt;
    }
    return MixerLine{line.dwLineID, line.dwComponentType};
  }

  static MIXERCONTROLDETAILS Details(std::uint32_t control_id,
                                     MIXERCONTROLDETAILS_UNSIGNED* values) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control_id;
    details.cChannels = kChannels;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    details.paDetails = values;
    return details;
  }

  HMIXER mixer_;
};

HWAVEOUT WaveMapper() {
  return reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER));
}

}  // namespace

std::unique_ptr<MixerDevice> Win32Audio::OpenMixer() {
  HMIXER mixer = nullptr;
  const DWORD callback = callback_window_ != kNoWindow ? CALLBACK_WINDOW : CALLBACK_NULL;
  if (::mixerOpen(&mixer, 0, static_cast<DWORD_PTR>(callback_window_), 0, callback) !=
      MMSYSERR_NOERROR) {
    return nullptr;
  }
  return std::make_unique<Win32MixerDevice>(mixer);
}

std::optional<StereoLevel> Win32Audio::GetWaveVolume() {
  DWORD volume = 0;
  // On failure the output is left untouched: never read it then.
  if (::waveOutGetVolume(WaveMapper(), &volume) != MMSYSERR_NOERROR) return std::nullopt;
  return StereoLevel{static_cast<std::uint16_t>(volume & 0xFFFF),
                     static_cast<std::uint16_t>(volume >> 16)};
}

void Win32Audio::SetWaveVolume(StereoLevel level) {
  // Without a wave device there is nothing to set; that is not reported.
  ::waveOutSetVolume(WaveMapper(),
                     static_cast<DWORD>(level.left) | (static_cast<DWORD>(level.right) << 16));
}

}  // namespace pelorin::win32
