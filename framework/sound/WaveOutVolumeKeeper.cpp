#include "framework/sound/WaveOutVolumeKeeper.h"

#include "framework/sound/WaveOutVolume.h"

namespace Kit {

WaveOutVolumeKeeper::WaveOutVolumeKeeper() : mSavedVolume(ReadWaveOutVolume()) {}

WaveOutVolumeKeeper::~WaveOutVolumeKeeper() {
  if (mSavedVolume) WriteWaveOutVolume(*mSavedVolume);
}

}  // namespace Kit
