#include "framework/sound/MusicFadeState.h"

namespace Kit {

bool MusicFadeState::StepFade() {
  volume += volumeAdd;
  if (volume > volumeCap) {
    volume = volumeCap;
    volumeAdd = 0.0;
  } else if (volume < 0.0) {
    volume = 0.0;
    volumeAdd = 0.0;
    return stopOnFade;
  }
  return false;
}

}  // namespace Kit
