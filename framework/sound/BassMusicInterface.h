// The default music player: WAV, OGG and MP3 streams and tracker modules through the run-time loaded
// "bass.dll", in either of its generations. Volumes reach the library as whole percentages.
#pragma once

#include <map>
#include <string>

#include "framework/sound/BassMusicInfo.h"
#include "framework/sound/MusicInterface.h"
#include "platform/win/Types.h"

namespace Kit {

class BassMusicInterface : public MusicInterface {
 public:
  // Loads and starts the library (a missing library ends the program); `window` is the application's
  // invisible window.
  explicit BassMusicInterface(HWND window);
  ~BassMusicInterface() override;

  bool LoadMusic(int songId, const std::string& fileName) override;
  void PlayMusic(int songId, int offset, bool noLoop) override;
  void StopMusic(int songId) override;
  void PauseMusic(int songId) override;
  void ResumeMusic(int songId) override;
  void StopAllMusic() override;
  void UnloadMusic(int songId) override;
  void UnloadAllMusic() override;
  void PauseAllMusic() override;
  void ResumeAllMusic() override;
  void FadeIn(int songId, int offset, double speed, bool noLoop) override;
  void FadeOut(int songId, bool stopSong, double speed) override;
  void FadeOutAll(bool stopSong, double speed) override;
  void SetSongVolume(int songId, double volume) override;
  void SetSongMaxVolume(int songId, double volume) override;
  bool IsPlaying(int songId) override;
  void SetVolume(double volume) override;
  void SetMusicAmplify(int songId, double amplify) override;
  void Update() override;

 protected:
  std::map<int, BassMusicInfo> mMusicMap;
  int mMaxMusicVolume = 40;

 private:
  BassMusicInfo* Find(int songId);
  void ApplyVolume(const BassMusicInfo& song);
  // Starts a song as PlayMusic and FadeIn do, from `offset`.
  void Start(const BassMusicInfo& song, int offset, bool noLoop, bool moduleFromDefault);
  void FreeHandles(const BassMusicInfo& song);
};

}  // namespace Kit
