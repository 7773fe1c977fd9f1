#include "framework/sound/BassMusicInterface.h"

#include <algorithm>
#include <cctype>

#include "framework/sound/BassLibrary.h"
#include "framework/sound/WaveOutVolumeKeeper.h"

namespace Kit {

namespace {

constexpr int kDefaultOffset = -1;
constexpr int kLeaveFrequency = -1;
constexpr int kLeavePan = -101;
constexpr DWORD kStreamBufferMs = 2000;

std::string LowerExtension(const std::string& fileName) {
  std::size_t dot = fileName.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

int Percent(double volume) { return static_cast<int>(volume * 100); }

}  // namespace

BassMusicInterface::BassMusicInterface(HWND window) {
  LoadBassDLL();
  BASS_INSTANCE& bass = *gBassInstance;
  {
    // Initialising the library may move the system's wave-out volume; the user's setting is kept.
    WaveOutVolumeKeeper keepVolume;
    if (bass.mIsVersion2) {
      bass.BASS_Init2(1, 44100, 0, window, nullptr);
      bass.BASS_SetConfig(BASS_CONFIG_BUFFER, kStreamBufferMs);
    } else {
      bass.BASS_Init(-1, 44100, 0, window);
    }
  }
  bass.BASS_Start();
  mMaxMusicVolume = 40;
}

BassMusicInterface::~BassMusicInterface() {
  gBassInstance->BASS_Stop();
  gBassInstance->BASS_Free();
  FreeBassDLL();
}

BassMusicInfo* BassMusicInterface::Find(int songId) {
  auto it = mMusicMap.find(songId);
  return it == mMusicMap.end() ? nullptr : &it->second;
}

void BassMusicInterface::ApplyVolume(const BassMusicInfo& song) {
  gBassInstance->BASS_ChannelSetAttributes(song.Channel(), kLeaveFrequency, Percent(song.mVolume), kLeavePan);
}

void BassMusicInterface::FreeHandles(const BassMusicInfo& song) {
  if (song.mHStream != 0) {
    gBassInstance->BASS_StreamFree(song.mHStream);
  } else if (song.mHMusic != 0) {
    gBassInstance->BASS_MusicFree(song.mHMusic);
  }
}

bool BassMusicInterface::LoadMusic(int songId, const std::string& fileName) {
  BASS_INSTANCE& bass = *gBassInstance;
  BassMusicInfo song;
  std::string extension = LowerExtension(fileName);
  if (extension == "wav" || extension == "ogg" || extension == "mp3") {
    song.mHStream = bass.BASS_StreamCreateFile(FALSE, fileName.c_str(), 0, 0, 0);
  } else if (bass.mIsVersion2) {
    song.mHMusic = bass.BASS_MusicLoad2(FALSE, fileName.c_str(), 0, 0, BASS_MUSIC_RAMP | BASS_SAMPLE_LOOP, 0);
  } else {
    song.mHMusic = bass.BASS_MusicLoad(FALSE, fileName.c_str(), 0, 0, BASS_SAMPLE_LOOP);
  }
  if (song.Channel() == 0) return false;
  // An id that is taken keeps its song; the new handle would otherwise be lost with the library's
  // memory and file behind it.
  if (!mMusicMap.emplace(songId, song).second) FreeHandles(song);
  return true;
}

void BassMusicInterface::Start(const BassMusicInfo& song, int offset, bool noLoop, bool moduleFromDefault) {
  BASS_INSTANCE& bass = *gBassInstance;
  DWORD loop = noLoop ? 0 : BASS_SAMPLE_LOOP;
  if (song.mHMusic != 0) {
    if (moduleFromDefault && offset == kDefaultOffset) {
      bass.BASS_MusicPlay(song.mHMusic);
    } else {
      int flags = static_cast<int>(loop | (bass.mIsVersion2 ? BASS_MUSIC_RAMP : 0));
      bass.BASS_MusicPlayEx(song.mHMusic, static_cast<DWORD>(offset), flags, TRUE);
    }
    return;
  }
  bass.BASS_StreamPlay(song.mHStream, offset == kDefaultOffset ? FALSE : TRUE, loop);
  if (offset > 0) bass.BASS_ChannelSetPosition(song.mHStream, static_cast<QWORD>(offset));
}

void BassMusicInterface::PlayMusic(int songId, int offset, bool noLoop) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolume = song->mVolumeCap;
  song->mVolumeAdd = 0.0;
  ApplyVolume(*song);
  gBassInstance->BASS_ChannelStop(song->Channel());
  Start(*song, offset, noLoop, false);
}

void BassMusicInterface::StopMusic(int songId) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolume = 0.0;
  gBassInstance->BASS_ChannelStop(song->Channel());
}

void BassMusicInterface::StopAllMusic() {
  for (auto& [id, song] : mMusicMap) {
    song.mVolume = 0.0;
    gBassInstance->BASS_ChannelStop(song.Channel());
  }
}

void BassMusicInterface::PauseMusic(int songId) {
  if (BassMusicInfo* song = Find(songId)) gBassInstance->BASS_ChannelPause(song->Channel());
}

void BassMusicInterface::ResumeMusic(int songId) {
  if (BassMusicInfo* song = Find(songId)) gBassInstance->BASS_ChannelResume(song->Channel());
}

void BassMusicInterface::PauseAllMusic() {
  for (auto& [id, song] : mMusicMap) gBassInstance->BASS_ChannelPause(song.Channel());
}

void BassMusicInterface::ResumeAllMusic() {
  for (auto& [id, song] : mMusicMap) gBassInstance->BASS_ChannelResume(song.Channel());
}

void BassMusicInterface::UnloadMusic(int songId) {
  if (!Find(songId)) return;
  StopMusic(songId);
  // Looked up again: StopMusic may be a subclass's and may have changed the map.
  auto it = mMusicMap.find(songId);
  if (it == mMusicMap.end()) return;
  FreeHandles(it->second);
  mMusicMap.erase(it);
}

void BassMusicInterface::UnloadAllMusic() {
  StopAllMusic();
  for (auto& [id, song] : mMusicMap) FreeHandles(song);
  mMusicMap.clear();
}

void BassMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolumeAdd = speed;
  gBassInstance->BASS_ChannelStop(song->Channel());
  ApplyVolume(*song);
  Start(*song, offset, noLoop, true);
}

void BassMusicInterface::FadeOut(int songId, bool stopSong, double speed) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  if (song->mVolume != 0.0) song->mVolumeAdd = -speed;
  song->mStopOnFade = stopSong;
}

void BassMusicInterface::FadeOutAll(bool stopSong, double speed) {
  for (auto& [id, song] : mMusicMap) song.StartFadeOut(stopSong, speed);
}

void BassMusicInterface::SetSongVolume(int songId, double volume) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolume = volume;
  ApplyVolume(*song);
}

void BassMusicInterface::SetSongMaxVolume(int songId, double volume) {
  BassMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolumeCap = volume;
  song->mVolume = std::min(song->mVolume, volume);
  ApplyVolume(*song);
}

bool BassMusicInterface::IsPlaying(int songId) {
  BassMusicInfo* song = Find(songId);
  return song && gBassInstance->BASS_ChannelIsActive(song->Channel()) == BASS_ACTIVE_PLAYING;
}

void BassMusicInterface::SetVolume(double volume) {
  BASS_INSTANCE& bass = *gBassInstance;
  if (bass.mIsVersion2) {
    auto percent = static_cast<DWORD>(Percent(volume));
    bass.BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, percent);
    bass.BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, percent);
    return;
  }
  int level = static_cast<int>(mMaxMusicVolume * volume);
  if (bass.BASS_SetGlobalVolumes) {
    bass.BASS_SetGlobalVolumes(level, level, level);
  } else {
    // A 1.x library with only the output volume: that one carries the music volume then.
    bass.BASS_SetVolume(static_cast<DWORD>(level));
  }
}

void BassMusicInterface::SetMusicAmplify(int songId, double amplify) {
  if (BassMusicInfo* song = Find(songId))
    gBassInstance->BASS_MusicSetAmplify(song->Channel(), static_cast<DWORD>(Percent(amplify)));
}

void BassMusicInterface::Update() {
  for (auto& [id, song] : mMusicMap) {
    if (!song.Fading()) continue;
    if (song.StepFade()) gBassInstance->BASS_ChannelStop(song.Channel());
    ApplyVolume(song);
  }
}

}  // namespace Kit
