// One song of the BASS music player: its library handle and its fade state.
#pragma once

#include "framework/sound/MusicFadeState.h"
#include "platform/win/Types.h"

namespace Kit {

struct BassMusicInfo : MusicFadeState {
  DWORD mHMusic = 0;   // module handle; 0 for a stream
  DWORD mHStream = 0;  // stream handle; 0 for a module

  DWORD Channel() const { return mHMusic != 0 ? mHMusic : mHStream; }
};

}  // namespace Kit
