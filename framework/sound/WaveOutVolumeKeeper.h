// Keeps the system's wave-out volume (mixer device 0, wave-out line, one channel) across a stretch of
// code that may change it, such as a music library's initialisation: read when constructed, written
// back when destroyed. Without a mixer device it does nothing.
#pragma once

#include <optional>

#include "platform/win/Types.h"

namespace Kit {

class WaveOutVolumeKeeper {
 public:
  WaveOutVolumeKeeper();
  ~WaveOutVolumeKeeper();
  WaveOutVolumeKeeper(const WaveOutVolumeKeeper&) = delete;
  WaveOutVolumeKeeper& operator=(const WaveOutVolumeKeeper&) = delete;

 private:
  std::optional<DWORD> mSavedVolume;
};

}  // namespace Kit
