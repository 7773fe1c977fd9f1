#include "framework/sound/WaveOutVolume.h"

namespace Kit {

namespace {

HMIXEROBJ AsObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

// Mixer device 0, open for the object's lifetime; Get() is null when it cannot be opened.
class OpenMixer {
 public:
  OpenMixer() {
    if (mixerOpen(&mMixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) mMixer = nullptr;
  }
  ~OpenMixer() {
    if (mMixer) mixerClose(mMixer);
  }
  OpenMixer(const OpenMixer&) = delete;
  OpenMixer& operator=(const OpenMixer&) = delete;

  HMIXER Get() const { return mMixer; }

 private:
  HMIXER mMixer = nullptr;
};

MMRESULT AccessVolumeControl(HMIXER mixer, DWORD control, DWORD& value, bool write) {
  MIXERCONTROLDETAILS_UNSIGNED detail{value};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = control;
  details.cChannels = 1;
  details.cbDetails = sizeof detail;
  details.paDetails = &detail;
  MMRESULT result =
      write ? mixerSetControlDetails(AsObject(mixer), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE)
            : mixerGetControlDetailsA(AsObject(mixer), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  value = detail.dwValue;
  return result;
}

}  // namespace

std::optional<DWORD> FindWaveOutVolumeControl(HMIXER mixer) {
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  if (mixerGetLineInfoA(AsObject(mixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR) {
    return std::nullopt;
  }
  MIXERCONTROLA control{};
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsA(AsObject(mixer), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR) {
    return std::nullopt;
  }
  return control.dwControlID;
}

MMRESULT GetVolumeControlValue(HMIXER mixer, DWORD control, DWORD& value) {
  return AccessVolumeControl(mixer, control, value, false);
}

MMRESULT SetVolumeControlValue(HMIXER mixer, DWORD control, DWORD value) {
  return AccessVolumeControl(mixer, control, value, true);
}

std::optional<DWORD> ReadWaveOutVolume() {
  OpenMixer mixer;
  if (!mixer.Get()) return std::nullopt;
  auto control = FindWaveOutVolumeControl(mixer.Get());
  DWORD volume = 0;
  if (!control || GetVolumeControlValue(mixer.Get(), *control, volume) != MMSYSERR_NOERROR) return std::nullopt;
  return volume;
}

bool WriteWaveOutVolume(DWORD volume) {
  OpenMixer mixer;
  if (!mixer.Get()) return false;
  auto control = FindWaveOutVolumeControl(mixer.Get());
  return control && SetVolumeControlValue(mixer.Get(), *control, volume) == MMSYSERR_NOERROR;
}

}  // namespace Kit
