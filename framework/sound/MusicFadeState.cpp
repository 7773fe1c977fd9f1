#include "framework/sound/MusicFadeState.h"

namespace Kit {

bool MusicFadeState::StepFade() {
  mVolume += mVolumeAdd;
  if (mVolume > mVolumeCap) {
    mVolume = mVolumeCap;
    mVolumeAdd = 0.0;
  } else if (mVolume < 0.0) {
    mVolume = 0.0;
    mVolumeAdd = 0.0;
    return mStopOnFade;
  }
  return false;
}

}  // namespace Kit
