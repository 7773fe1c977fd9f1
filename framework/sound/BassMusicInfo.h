// One song of the BASS music player: its library handle and its fade state.
#pragma once

#include "framework/sound/MusicFadeState.h"
#include "platform/win/Types.h"

namespace Kit {

struct BassMusicInfo : MusicFadeState {
  DWORD hMusic = 0;   // module handle; 0 for a stream
  DWORD hStream = 0;  // stream handle; 0 for a module

  DWORD Channel() const { return hMusic != 0 ? hMusic : hStream; }
};

}  // namespace Kit
