// The system's wave-out volume: mixer device 0, the wave-out line's volume control, one channel,
// 0 to 65535. Both the master volume and the volume kept across a music library's initialisation
// go through here, so they always address the same control.
#pragma once

#include <optional>

#include "platform/audio/MMSystem.h"

namespace Kit {

// Nothing when there is no mixer device or it has no such control.
std::optional<DWORD> ReadWaveOutVolume();
// False when there is no mixer device or it has no such control.
bool WriteWaveOutVolume(DWORD volume);

// The steps of the two above on a mixer the caller has open.
// The id of the wave-out line's volume control, or nothing when the mixer has none.
std::optional<DWORD> FindWaveOutVolumeControl(HMIXER mixer);
MMRESULT GetVolumeControlValue(HMIXER mixer, DWORD control, DWORD& value);
MMRESULT SetVolumeControlValue(HMIXER mixer, DWORD control, DWORD value);

}  // namespace Kit
