// A sound instance over DirectSound: its own duplicate of the loaded sound's buffer, so several copies
// of one sound play at once while sharing the samples.
#pragma once

#include "framework/sound/SoundInstance.h"
#include "platform/dsound/DSound.h"

namespace Kit {

class DSoundManager;

class DSoundInstance : public SoundInstance {
 public:
  // Without a source buffer the instance is silent. A source that cannot be duplicated ends the program.
  DSoundInstance(DSoundManager* soundManager, LPDIRECTSOUNDBUFFER sourceSound);
  ~DSoundInstance() override;
  DSoundInstance(const DSoundInstance&) = delete;
  DSoundInstance& operator=(const DSoundInstance&) = delete;

  void Release() override;
  void SetBaseVolume(double volume) override;
  void SetBasePan(int pan) override;
  void AdjustPitch(double semitones) override;
  void SetVolume(double volume) override;
  void SetPan(int pan) override;
  bool Play(bool looping, bool autoRelease) override;
  void Stop() override;
  bool IsPlaying() override;
  bool IsReleased() override;
  double GetVolume() override;

  // This instance's own buffer (null when silent).
  LPDIRECTSOUNDBUFFER GetSoundBuffer() const { return mSoundBuffer; }

 protected:
  friend class DSoundManager;

  void RehupVolume();
  void RehupPan();

  DSoundManager* mSoundManager;
  LPDIRECTSOUNDBUFFER mSourceSoundBuffer;
  LPDIRECTSOUNDBUFFER mSoundBuffer = nullptr;
  bool mAutoRelease = false;
  bool mHasPlayed = false;
  bool mReleased = false;
  int mBasePan = 0;
  double mBaseVolume = 1.0;
  int mPan = 0;
  double mVolume = 1.0;
  DWORD mDefaultFrequency = 44100;
};

}  // namespace Kit
