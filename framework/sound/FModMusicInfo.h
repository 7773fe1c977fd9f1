// One song of the FMOD music player: a module, or a sample that plays on the FSOUND channel whose
// number is the song id, and its fade state.
#pragma once

#include "framework/sound/MusicFadeState.h"
#include "platform/fmod/FMod.h"

namespace Kit {

struct FModMusicInfo : MusicFadeState {
  FSOUND_SAMPLE* mHSample = nullptr;  // a sample song's sample; null for a module song
  FMUSIC_MODULE* mHMusic = nullptr;   // a module song's module; null for a sample song
  bool mRepeats = false;              // a sample song loops
};

}  // namespace Kit
