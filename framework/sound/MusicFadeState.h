// A song's volume and fade, as both music players keep them: fades step once per Update and end at
// the song's cap or at silence.
#pragma once

namespace Kit {

struct MusicFadeState {
  double volume = 0.0;
  double volumeAdd = 0.0;  // fade step per Update; 0.0 = no fade
  double volumeCap = 1.0;  // upper bound of fades, and the volume PlayMusic plays at
  bool stopOnFade = false;

  bool Fading() const { return volumeAdd != 0.0; }
  void StartFadeOut(bool stopSong, double speed) {
    volumeAdd = -speed;
    stopOnFade = stopSong;
  }
  // Moves the volume one fade step; true when this step faded the song out and it is to be stopped.
  bool StepFade();
};

}  // namespace Kit
