// The multimedia mixer of the layer: one device with a speakers destination (line 0) and its wave-out
// source (line 1), which has the one control, the volume (control 1).
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/MMSystem.h"

namespace {

constexpr DWORD kSpeakersLineId = 0xFFFF0000;
constexpr DWORD kWaveOutLineId = 0x00000000;
constexpr DWORD kVolumeControlId = 1;
constexpr DWORD kMaxVolume = 65535;

struct MixerState {
  std::mutex mutex;
  DWORD left = kMaxVolume;
  DWORD right = kMaxVolume;
  bool missing = false;
  int openHandles = 0;
};

MixerState& State() {
  static MixerState state;
  return state;
}

// The one handle value the device hands out; any other value is not a mixer.
HMIXER TheHandle() {
  static int token;
  return reinterpret_cast<HMIXER>(&token);
}

void ApplyGainLocked(const MixerState& state) {
  plat::audio::SharedMixer().SetMasterGain(static_cast<float>(state.left) / kMaxVolume,
                                           static_cast<float>(state.right) / kMaxVolume);
}

// Objects name the device either by handle or by device id 0.
bool IsOurDevice(HMIXEROBJ object, DWORD flags) {
  if (flags & MIXER_OBJECTF_HMIXER) return reinterpret_cast<HMIXER>(object) == TheHandle() && State().openHandles > 0;
  return object == nullptr;  // device id 0
}

void FillLine(MIXERLINEA& line, bool waveOut) {
  DWORD size = line.cbStruct;
  std::memset(&line, 0, sizeof line);
  line.cbStruct = size;
  line.dwDestination = 0;
  line.dwSource = 0;
  line.dwLineID = waveOut ? kWaveOutLineId : kSpeakersLineId;
  line.fdwLine = 1;  // active
  line.dwComponentType = waveOut ? MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT : MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  line.cChannels = 2;
  line.cConnections = waveOut ? 0 : 1;
  line.cControls = waveOut ? 1 : 0;
  std::strcpy(line.szShortName, waveOut ? "Wave" : "Speakers");
  std::strcpy(line.szName, waveOut ? "Wave" : "Speakers");
}

void FillVolumeControl(MIXERCONTROLA& control) {
  std::memset(&control, 0, sizeof control);
  control.cbStruct = sizeof control;
  control.dwControlID = kVolumeControlId;
  control.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  control.fdwControl = 0;
  std::strcpy(control.szShortName, "Volume");
  std::strcpy(control.szName, "Wave Volume");
  control.Bounds.dwMinimum = 0;
  control.Bounds.dwMaximum = kMaxVolume;
  control.Metrics.cSteps = 65536;
}

bool DetailsValid(const MIXERCONTROLDETAILS* details) {
  return details && details->cbStruct >= sizeof(MIXERCONTROLDETAILS) && details->dwControlID == kVolumeControlId &&
         (details->cChannels == 1 || details->cChannels == 2) &&
         details->cbDetails >= sizeof(MIXERCONTROLDETAILS_UNSIGNED) && details->paDetails;
}

}  // namespace

MMRESULT mixerOpen(LPHMIXER mixer, UINT mixerId, DWORD_PTR, DWORD_PTR, DWORD) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!mixer) return MMSYSERR_INVALPARAM;
  if (state.missing || mixerId != 0) return MMSYSERR_BADDEVICEID;
  ++state.openHandles;
  *mixer = TheHandle();
  return MMSYSERR_NOERROR;
}

MMRESULT mixerClose(HMIXER mixer) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (mixer != TheHandle() || state.openHandles == 0) return MMSYSERR_INVALHANDLE;
  --state.openHandles;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!IsOurDevice(mixer, flags)) return MMSYSERR_INVALHANDLE;
  if (!line || line->cbStruct < sizeof(MIXERLINEA)) return MMSYSERR_INVALPARAM;
  switch (flags & 0x0F) {
    case MIXER_GETLINEINFOF_DESTINATION:
      if (line->dwDestination != 0) return MIXERR_INVALLINE;
      FillLine(*line, false);
      return MMSYSERR_NOERROR;
    case MIXER_GETLINEINFOF_SOURCE:
      if (line->dwDestination != 0 || line->dwSource != 0) return MIXERR_INVALLINE;
      FillLine(*line, true);
      return MMSYSERR_NOERROR;
    case MIXER_GETLINEINFOF_LINEID:
      if (line->dwLineID != kSpeakersLineId && line->dwLineID != kWaveOutLineId) return MIXERR_INVALLINE;
      FillLine(*line, line->dwLineID == kWaveOutLineId);
      return MMSYSERR_NOERROR;
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
      if (line->dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT) {
        FillLine(*line, true);
      } else if (line->dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) {
        FillLine(*line, false);
      } else {
        return MIXERR_INVALLINE;
      }
      return MMSYSERR_NOERROR;
    default:
      return MMSYSERR_INVALFLAG;
  }
}

MMRESULT mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!IsOurDevice(mixer, flags)) return MMSYSERR_INVALHANDLE;
  if (!controls || controls->cbStruct < sizeof(MIXERLINECONTROLSA) || !controls->pamxctrl ||
      controls->cbmxctrl < sizeof(MIXERCONTROLA) || controls->cControls < 1) {
    return MMSYSERR_INVALPARAM;
  }
  switch (flags & 0x0F) {
    case MIXER_GETLINECONTROLSF_ALL:
    case MIXER_GETLINECONTROLSF_ONEBYTYPE:
      if (controls->dwLineID != kWaveOutLineId) return MIXERR_INVALLINE;
      if ((flags & 0x0F) == MIXER_GETLINECONTROLSF_ONEBYTYPE &&
          controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) {
        return MIXERR_INVALCONTROL;
      }
      break;
    case MIXER_GETLINECONTROLSF_ONEBYID:
      if (controls->dwControlID != kVolumeControlId) return MIXERR_INVALCONTROL;
      controls->dwLineID = kWaveOutLineId;
      break;
    default:
      return MMSYSERR_INVALFLAG;
  }
  FillVolumeControl(*controls->pamxctrl);
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!IsOurDevice(mixer, flags)) return MMSYSERR_INVALHANDLE;
  if (!DetailsValid(details)) return MMSYSERR_INVALPARAM;
  auto* values = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
  if (details->cChannels == 1) {
    values[0].dwValue = std::max(state.left, state.right);
  } else {
    values[0].dwValue = state.left;
    values[1].dwValue = state.right;
  }
  return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!IsOurDevice(mixer, flags)) return MMSYSERR_INVALHANDLE;
  if (!DetailsValid(details)) return MMSYSERR_INVALPARAM;
  const auto* values = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
  state.left = std::min(values[0].dwValue, kMaxVolume);
  state.right = details->cChannels == 2 ? std::min(values[1].dwValue, kMaxVolume) : state.left;
  ApplyGainLocked(state);
  return MMSYSERR_NOERROR;
}

namespace plat {

void SetWaveOutVolume(DWORD left, DWORD right) {
  MixerState& state = State();
  std::lock_guard lock(state.mutex);
  state.left = std::min(left, kMaxVolume);
  state.right = std::min(right, kMaxVolume);
  ApplyGainLocked(state);
}

DWORD WaveOutVolumeLeft() {
  std::lock_guard lock(State().mutex);
  return State().left;
}

DWORD WaveOutVolumeRight() {
  std::lock_guard lock(State().mutex);
  return State().right;
}

void SetMixerMissing(bool missing) {
  std::lock_guard lock(State().mutex);
  State().missing = missing;
}

}  // namespace plat
