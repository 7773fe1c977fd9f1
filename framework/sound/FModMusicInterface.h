// The music player on "fmod.dll": module songs through FMUSIC, and sample songs (OGG files decoded
// whole, with a WAV cache, optionally an intro joined to a loop) on the FSOUND channel numbered by the
// song id. The library is initialised by the sound manager, which the same setting makes use it.
#pragma once

#include <map>
#include <string>

#include "framework/sound/FModMusicInfo.h"
#include "framework/sound/MusicInterface.h"
#include "platform/win/Types.h"

namespace Kit {

class FModMusicInterface : public MusicInterface {
 public:
  // Takes a reference on "fmod.dll" (a missing library ends the program); the window is not used.
  explicit FModMusicInterface(HWND window);
  ~FModMusicInterface() override;

  bool LoadMusic(int songId, const std::string& fileName) override;
  void PlayMusic(int songId, int offset, bool noLoop) override;
  void StopMusic(int songId) override;
  void PauseMusic(int songId) override;
  void ResumeMusic(int songId) override;
  void StopAllMusic() override;
  void FadeIn(int songId, int offset, double speed, bool noLoop) override;
  void FadeOut(int songId, bool stopSong, double speed) override;
  void FadeOutAll(bool stopSong, double speed) override;
  void SetSongVolume(int songId, double volume) override;
  bool IsPlaying(int songId) override;
  void SetVolume(double volume) override;
  void Update() override;

  // A sample song of `introFile` followed by `loopFile` (names without extension, as LoadSample),
  // looping over the second part when `loop`; false unless both load with the same rate and layout.
  virtual bool LoadSampleWithIntro(int songId, const std::string& introFile, const std::string& loopFile, bool loop);
  // A sample song from `file` (without extension: the cache or file + ".ogg").
  virtual bool LoadSample(int songId, const std::string& file, bool loop);

 protected:
  std::map<int, FModMusicInfo> mMusicMap;
  double mMasterVolume = 1.0;
  int mMaxMusicVolume = 100;
  int mMaxSampleVolume = 100;

 private:
  FModMusicInfo* Find(int songId);
  void ApplyVolume(int songId, const FModMusicInfo& song);
  void Stop(int songId, FModMusicInfo& song);
  // Enters a loaded song, or frees it when the id already has one.
  void Insert(int songId, const FModMusicInfo& song);
  FSOUND_SAMPLE* JoinSamples(FSOUND_SAMPLE* intro, FSOUND_SAMPLE* loopPart);
};

}  // namespace Kit
