// A song's volume and fade, as both music players keep them: fades step once per Update and end at
// the song's cap or at silence.
#pragma once

namespace Kit {

struct MusicFadeState {
  double mVolume = 0.0;
  double mVolumeAdd = 0.0;  // fade step per Update; 0.0 = no fade
  double mVolumeCap = 1.0;  // upper bound of fades, and the volume PlayMusic plays at
  bool mStopOnFade = false;

  bool Fading() const { return mVolumeAdd != 0.0; }
  void StartFadeOut(bool stopSong, double speed) {
    mVolumeAdd = -speed;
    mStopOnFade = stopSong;
  }
  // Moves the volume one fade step; true when this step faded the song out and it is to be stopped.
  bool StepFade();
};

}  // namespace Kit
