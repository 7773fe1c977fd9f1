// One song of the FMOD music player: a module, or a sample that plays on the FSOUND channel whose
// number is the song id, and its fade state.
#pragma once

#include "platform/fmod/FMod.h"

namespace Kit {

struct FModMusicInfo {
  FSOUND_SAMPLE* hSample = nullptr;  // a sample song's sample; null for a module song
  FMUSIC_MODULE* hMusic = nullptr;   // a module song's module; null for a sample song
  double volume = 0.0;
  double volumeAdd = 0.0;  // fade step per Update; 0.0 = no fade
  double volumeCap = 1.0;  // upper bound of fades, and the volume PlayMusic plays at
  bool stopOnFade = false;
  bool repeats = false;  // a sample song loops
};

}  // namespace Kit
