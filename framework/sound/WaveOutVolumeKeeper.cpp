#include "framework/sound/WaveOutVolumeKeeper.h"

#include "platform/audio/MMSystem.h"

namespace Kit {

namespace {

// Opens mixer 0, finds the wave-out line's volume control and runs `access` on its details.
template <typename Access>
void WithWaveOutVolume(Access access) {
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) return;
  auto object = reinterpret_cast<HMIXEROBJ>(mixer);
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  if (mixerGetLineInfoA(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR) {
    MIXERCONTROLA control{};
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(object, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
        MMSYSERR_NOERROR) {
      MIXERCONTROLDETAILS_UNSIGNED value{};
      MIXERCONTROLDETAILS details{};
      details.cbStruct = sizeof details;
      details.dwControlID = control.dwControlID;
      details.cChannels = 1;
      details.cbDetails = sizeof value;
      details.paDetails = &value;
      access(object, details, value);
    }
  }
  mixerClose(mixer);
}

}  // namespace

WaveOutVolumeKeeper::WaveOutVolumeKeeper() {
  WithWaveOutVolume([this](HMIXEROBJ object, MIXERCONTROLDETAILS& details, MIXERCONTROLDETAILS_UNSIGNED& value) {
    if (mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
        MMSYSERR_NOERROR) {
      mSaved = true;
      mVolume = value.dwValue;
    }
  });
}

WaveOutVolumeKeeper::~WaveOutVolumeKeeper() {
  if (!mSaved) return;
  WithWaveOutVolume([this](HMIXEROBJ object, MIXERCONTROLDETAILS& details, MIXERCONTROLDETAILS_UNSIGNED& value) {
    value.dwValue = mVolume;
    mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  });
}

}  // namespace Kit
