// One song of the BASS music player: its library handle and its fade state.
#pragma once

#include "platform/win/Types.h"

namespace Kit {

struct BassMusicInfo {
  DWORD hMusic = 0;   // module handle; 0 for a stream
  DWORD hStream = 0;  // stream handle; 0 for a module
  double volume = 0.0;
  double volumeAdd = 0.0;  // fade step per Update; 0.0 = no fade
  double volumeCap = 1.0;  // upper bound of fades, and the volume PlayMusic plays at
  bool stopOnFade = false;

  DWORD Channel() const { return hMusic != 0 ? hMusic : hStream; }
};

}  // namespace Kit
