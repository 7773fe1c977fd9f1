// The sound-effect manager over DirectSound: 256 loaded sounds (static buffers holding the whole
// decoded PCM) and 32 channel slots of playing instances. Loading, the readers and the WAV cache live
// in DSoundLoading.cpp.
#pragma once

#include <array>
#include <string>

#include "framework/sound/DSoundInstance.h"
#include "framework/sound/SoundManager.h"
#include "platform/dsound/DSound.h"

namespace Kit {

class DSoundManager : public SoundManager {
 public:
  static constexpr unsigned int kMaxSounds = 256;
  static constexpr int kMaxChannels = 32;

  // A null window gives a silent manager. With useFMod, ".mp3" sounds are decoded through fmod.dll
  // and the manager initialises and closes FMOD.
  DSoundManager(HWND window, bool useFMod);
  ~DSoundManager() override;
  DSoundManager(const DSoundManager&) = delete;
  DSoundManager& operator=(const DSoundManager&) = delete;

  bool Initialized() override;
  int LoadSoundByName(const std::string& fileName) override;
  bool LoadSound(unsigned int soundId, const std::string& fileName) override;
  std::string SourceFileOf(const std::string& fileName) override;
  void ReleaseSound(unsigned int soundId) override;
  void SetVolume(double volume) override;
  bool SetBaseVolume(unsigned int soundId, double volume) override;
  bool SetBasePan(unsigned int soundId, int pan) override;
  SoundInstance* GetSoundInstance(unsigned int soundId) override;
  void ReleaseSounds() override;
  void ReleaseChannels() override;
  double GetMasterVolume() override;
  void SetMasterVolume(double volume) override;
  void SpareHook() override;
  void SetCooperativeWindow(HWND window, bool isWindowed) override;
  void StopAllSounds() override;

  // The readers: each fills mSourceSounds[id] from one file and reports whether it succeeded. A failed
  // read leaves the id without a buffer.
  bool LoadWAVSound(unsigned int soundId, const std::string& fileName);
  bool LoadFModSound(unsigned int soundId, const std::string& fileName);
  bool LoadOGGSound(unsigned int soundId, const std::string& fileName);
  bool LoadAUSound(unsigned int soundId, const std::string& fileName);
  // Writes the id's PCM as a cache file stamped with the source file's name and time.
  bool WriteWAV(unsigned int soundId, const std::string& cacheFileName, const std::string& sourceFileName);

 protected:
  friend class DSoundInstance;

  // The channel slot for a new instance (sweeping finished instances on the way), or -1.
  int FindFreeChannel();
  void ReleaseFreeChannels();
  // Makes an empty static buffer for a reader in mSourceSounds[id]; false when DirectSound refuses.
  bool CreateSourceBuffer(unsigned int soundId, int channels, int samplesPerSecond, int bitsPerSample, DWORD dataSize);
  // Drops the id's buffer after a failed read.
  void DiscardSourceBuffer(unsigned int soundId);

  // One kind of file a sound's name stands for: its ending, its reader, whether only FMOD decodes it,
  // and whether the decoded sound is kept in the WAV cache (a WAV file needs no copy).
  struct SourceKind {
    const char* mExtension;
    bool (DSoundManager::*mRead)(unsigned int soundId, const std::string& fileName);
    bool mNeedsFMod;
    bool mCached;
  };
  // The kinds in the order a sound's files are tried: loading and naming the file read both follow it.
  static const std::array<SourceKind, 4> kSourceKinds;
  bool Reads(const SourceKind& kind) const { return mHaveFMod || !kind.mNeedsFMod; }

  std::array<LPDIRECTSOUNDBUFFER, kMaxSounds> mSourceSounds{};
  std::array<std::string, kMaxSounds> mSourceFileNames;
  LPDIRECTSOUNDBUFFER mPrimaryBuffer = nullptr;
  std::array<DWORD, kMaxSounds> mSourceDataSizes{};
  std::array<double, kMaxSounds> mBaseVolumes{};
  std::array<int, kMaxSounds> mBasePans{};
  std::array<DSoundInstance*, kMaxChannels> mPlayingSounds{};
  double mMasterVolume = 1.0;
  DWORD mLastReleaseTick = 0;
  LPDIRECTSOUND mDirectSound = nullptr;
  bool mHaveFMod;
};

}  // namespace Kit
