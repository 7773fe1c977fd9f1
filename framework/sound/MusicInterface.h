// The framework's music player: songs registered under the caller's integer ids, then played, paused,
// stopped, faded and set in volume by id. This base is the silent player (no sound setting): every
// operation does nothing and every query answers false. Volumes run from 0.0 to 1.0; fade speeds are
// volume units per Update, which the application calls once per update tick.
#pragma once

#include <string>

namespace Kit {

class MusicInterface {
 public:
  MusicInterface() = default;
  virtual ~MusicInterface();
  MusicInterface(const MusicInterface&) = delete;
  MusicInterface& operator=(const MusicInterface&) = delete;

  virtual bool LoadMusic(int songId, const std::string& fileName);
  // offset: where playback starts (a module's pattern order or a stream's byte position; -1 the
  // player's own default); noLoop plays the song once.
  virtual void PlayMusic(int songId, int offset, bool noLoop);
  virtual void StopMusic(int songId);
  virtual void PauseMusic(int songId);
  virtual void ResumeMusic(int songId);
  virtual void StopAllMusic();
  virtual void UnloadMusic(int songId);
  virtual void UnloadAllMusic();
  virtual void PauseAllMusic();
  virtual void ResumeAllMusic();
  virtual void FadeIn(int songId, int offset, double speed, bool noLoop);
  virtual void FadeOut(int songId, bool stopSong, double speed);
  virtual void FadeOutAll(bool stopSong, double speed);
  virtual void SetSongVolume(int songId, double volume);
  virtual void SetSongMaxVolume(int songId, double volume);
  virtual bool IsPlaying(int songId);
  // The overall music volume (0.0 while the application is muted).
  virtual void SetVolume(double volume);
  virtual void SetMusicAmplify(int songId, double amplify);
  // Advances the fades by one step.
  virtual void Update();
};

}  // namespace Kit
