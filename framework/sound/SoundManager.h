// The sound-effect manager the application holds: loaded sounds by id (0 to 255) and playing instances.
#pragma once

#include <string>

#include "framework/sound/SoundInstance.h"
#include "platform/win/Types.h"

namespace Kit {

class SoundManager {
 public:
  virtual ~SoundManager() = default;
  virtual bool Initialized() = 0;
  virtual int LoadSoundByName(const std::string& fileName) = 0;
  virtual bool LoadSound(unsigned int soundId, const std::string& fileName) = 0;
  // A sound's name stands for several files: the program path of the first one a load would read that is
  // there, so that a failed load can name it; empty when none is.
  virtual std::string SourceFileOf(const std::string& fileName) { return {}; }
  virtual void ReleaseSound(unsigned int soundId) = 0;
  virtual void SetVolume(double volume) = 0;
  virtual bool SetBaseVolume(unsigned int soundId, double volume) = 0;
  virtual bool SetBasePan(unsigned int soundId, int pan) = 0;
  virtual SoundInstance* GetSoundInstance(unsigned int soundId) = 0;
  virtual void ReleaseSounds() = 0;
  virtual void ReleaseChannels() = 0;
  virtual double GetMasterVolume() = 0;
  virtual void SetMasterVolume(double volume) = 0;
  virtual void SpareHook() = 0;
  virtual void SetCooperativeWindow(HWND window, bool isWindowed) = 0;
  virtual void StopAllSounds() = 0;
};

}  // namespace Kit
