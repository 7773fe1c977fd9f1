#include "framework/sound/FModMusicInterface.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "framework/sound/FModLibrary.h"
#include "framework/sound/FModSampleCache.h"

namespace Kit {

namespace {

constexpr int kDefaultOffset = -1;
constexpr F_BOOL kModulePlaysOnce = 1;
constexpr F_BOOL kModuleLoops = 2;
constexpr int kJoinedVolume = 255;
constexpr int kJoinedPan = 128;

FMOD_INSTANCE& FMod() { return *gFModInstance; }

struct SampleShape {
  int frequency = 0;
  unsigned int mode = 0;
  unsigned int length = 0;
};

SampleShape ShapeOf(FSOUND_SAMPLE* sample) {
  SampleShape shape;
  FMod().FSOUND_Sample_GetDefaults(sample, &shape.frequency, nullptr, nullptr, nullptr);
  shape.mode = FMod().FSOUND_Sample_GetMode(sample);
  shape.length = FMod().FSOUND_Sample_GetLength(sample);
  return shape;
}

// Copies `bytes` from the start of `source` to `dest`; false when the source cannot be read whole.
bool CopySample(FSOUND_SAMPLE* source, std::uint8_t* dest, std::uint64_t bytes) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  unsigned int length1 = 0;
  unsigned int length2 = 0;
  if (!FMod().FSOUND_Sample_Lock(source, 0, static_cast<int>(bytes), &part1, &part2, &length1, &length2)) return false;
  bool whole = length1 == bytes;
  if (whole) std::memcpy(dest, part1, length1);
  FMod().FSOUND_Sample_Unlock(source, part1, part2, length1, length2);
  return whole;
}

}  // namespace

FModMusicInterface::FModMusicInterface(HWND) { LoadFModDLL(); }

FModMusicInterface::~FModMusicInterface() { FreeFModDLL(); }

FModMusicInfo* FModMusicInterface::Find(int songId) {
  auto it = mMusicMap.find(songId);
  return it == mMusicMap.end() ? nullptr : &it->second;
}

void FModMusicInterface::ApplyVolume(int songId, const FModMusicInfo& song) {
  if (song.mHMusic) {
    FMod().FMUSIC_SetMasterVolume(song.mHMusic, static_cast<int>(mMaxMusicVolume * mMasterVolume * song.mVolume));
  } else {
    FMod().FSOUND_SetVolume(songId, static_cast<int>(mMaxSampleVolume * mMasterVolume * song.mVolume));
  }
}

void FModMusicInterface::Insert(int songId, const FModMusicInfo& song) {
  if (mMusicMap.emplace(songId, song).second) return;
  // The id keeps its first song; the new one would otherwise never be freed.
  if (song.mHSample) FMod().FSOUND_Sample_Free(song.mHSample);
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName) {
  FModMusicInfo song;
  song.mHMusic = FMod().FMUSIC_LoadSong(fileName.c_str());
  if (!song.mHMusic) return false;
  Insert(songId, song);
  return true;
}

bool FModMusicInterface::LoadSample(int songId, const std::string& file, bool loop) {
  FModMusicInfo song;
  song.mHSample = LoadFModSample(file);
  if (!song.mHSample) return false;
  song.mRepeats = loop;
  Insert(songId, song);
  return true;
}

FSOUND_SAMPLE* FModMusicInterface::JoinSamples(FSOUND_SAMPLE* intro, FSOUND_SAMPLE* loopPart) {
  SampleShape introShape = ShapeOf(intro);
  SampleShape loopShape = ShapeOf(loopPart);
  if (introShape.frequency != loopShape.frequency || introShape.mode != loopShape.mode) return nullptr;
  std::uint64_t frames = static_cast<std::uint64_t>(introShape.length) + loopShape.length;
  std::uint64_t frameBytes = ((introShape.mode & FSOUND_MONO) ? 1 : 2) * ((introShape.mode & FSOUND_8BITS) ? 1 : 2);
  if (introShape.length == 0 || loopShape.length == 0 || frames * frameBytes > INT_MAX) return nullptr;
  FSOUND_SAMPLE* joined =
      FMod().FSOUND_Sample_Alloc(FSOUND_FREE, static_cast<int>(frames), introShape.mode | FSOUND_LOOP_NORMAL,
                                 introShape.frequency, kJoinedVolume, kJoinedPan, 0);
  if (!joined) return nullptr;
  void* part1 = nullptr;
  void* part2 = nullptr;
  unsigned int length1 = 0;
  unsigned int length2 = 0;
  bool copied = false;
  if (FMod().FSOUND_Sample_Lock(joined, 0, static_cast<int>(frames * frameBytes), &part1, &part2, &length1, &length2)) {
    auto* dest = static_cast<std::uint8_t*>(part1);
    std::uint64_t introBytes = introShape.length * frameBytes;
    // Both parts are read from their own starts: the loop part is a sample of its own.
    copied = length1 == frames * frameBytes && CopySample(intro, dest, introBytes) &&
             CopySample(loopPart, dest + introBytes, loopShape.length * frameBytes);
    FMod().FSOUND_Sample_Unlock(joined, part1, part2, length1, length2);
  }
  // The loop runs from the first frame of the loop part through the last frame of the sound.
  if (!copied ||
      !FMod().FSOUND_Sample_SetLoopPoints(joined, static_cast<int>(introShape.length), static_cast<int>(frames - 1))) {
    FMod().FSOUND_Sample_Free(joined);
    return nullptr;
  }
  return joined;
}

bool FModMusicInterface::LoadSampleWithIntro(int songId, const std::string& introFile, const std::string& loopFile,
                                             bool loop) {
  FSOUND_SAMPLE* intro = LoadFModSample(introFile);
  FSOUND_SAMPLE* loopPart = intro ? LoadFModSample(loopFile) : nullptr;
  FSOUND_SAMPLE* joined = loopPart ? JoinSamples(intro, loopPart) : nullptr;
  if (intro) FMod().FSOUND_Sample_Free(intro);
  if (loopPart) FMod().FSOUND_Sample_Free(loopPart);
  if (!joined) return false;
  FModMusicInfo song;
  song.mHSample = joined;
  song.mRepeats = loop;
  Insert(songId, song);
  return true;
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolume = song->mVolumeCap;
  song->mVolumeAdd = 0.0;
  if (song->mHMusic) {
    ApplyVolume(songId, *song);
    FMod().FMUSIC_SetLooping(song->mHMusic, noLoop ? kModulePlaysOnce : kModuleLoops);
    FMod().FMUSIC_PlaySong(song->mHMusic);
    FMod().FMUSIC_SetOrder(song->mHMusic, offset);
  } else {
    FMod().FSOUND_PlaySound(songId, song->mHSample);
    FMod().FSOUND_SetLoopMode(songId, song->mRepeats ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
    ApplyVolume(songId, *song);
  }
}

void FModMusicInterface::Stop(int songId, FModMusicInfo& song) {
  song.mVolume = 0.0;
  if (song.mHMusic) {
    FMod().FMUSIC_StopSong(song.mHMusic);
  } else {
    FMod().FSOUND_StopSound(songId);
  }
}

void FModMusicInterface::StopMusic(int songId) {
  if (FModMusicInfo* song = Find(songId)) Stop(songId, *song);
}

void FModMusicInterface::StopAllMusic() {
  for (auto& [id, song] : mMusicMap) Stop(id, song);
}

void FModMusicInterface::PauseMusic(int songId) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  if (song->mHMusic) {
    FMod().FMUSIC_SetPaused(song->mHMusic, 1);
  } else {
    FMod().FSOUND_SetPaused(songId, 1);
  }
}

void FModMusicInterface::ResumeMusic(int songId) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  if (song->mHMusic) {
    FMod().FMUSIC_SetPaused(song->mHMusic, 0);
  } else {
    FMod().FSOUND_SetPaused(songId, 0);
  }
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolumeAdd = speed;
  if (song->mHMusic) {
    ApplyVolume(songId, *song);
    FMod().FMUSIC_SetLooping(song->mHMusic, noLoop ? kModulePlaysOnce : kModuleLoops);
    if (!FMod().FMUSIC_IsPlaying(song->mHMusic)) FMod().FMUSIC_PlaySong(song->mHMusic);
    if (offset != kDefaultOffset) FMod().FMUSIC_SetOrder(song->mHMusic, offset);
    return;
  }
  if (!FMod().FSOUND_IsPlaying(songId)) {
    FMod().FSOUND_PlaySound(songId, song->mHSample);
    FMod().FSOUND_SetLoopMode(songId, song->mRepeats ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
  }
  ApplyVolume(songId, *song);
}

void FModMusicInterface::FadeOut(int songId, bool stopSong, double speed) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  song->StartFadeOut(stopSong, speed);
}

void FModMusicInterface::FadeOutAll(bool stopSong, double speed) {
  for (auto& [id, song] : mMusicMap) song.StartFadeOut(stopSong, speed);
}

void FModMusicInterface::SetSongVolume(int songId, double volume) {
  FModMusicInfo* song = Find(songId);
  if (!song) return;
  song->mVolume = volume;
  ApplyVolume(songId, *song);
}

bool FModMusicInterface::IsPlaying(int songId) {
  FModMusicInfo* song = Find(songId);
  if (!song) return false;
  // A sample song has no module to ask: its channel tells.
  if (song->mHMusic) return FMod().FMUSIC_IsPlaying(song->mHMusic) != 0;
  return FMod().FSOUND_IsPlaying(songId) != 0;
}

void FModMusicInterface::SetVolume(double volume) {
  mMasterVolume = volume;
  for (auto& [id, song] : mMusicMap) ApplyVolume(id, song);
}

void FModMusicInterface::Update() {
  for (auto& [id, song] : mMusicMap) {
    if (!song.Fading()) continue;
    if (song.StepFade()) {
      if (song.mHMusic) {
        FMod().FMUSIC_StopSong(song.mHMusic);
      } else {
        FMod().FSOUND_StopSound(id);
      }
    }
    ApplyVolume(id, song);
  }
}

}  // namespace Kit
