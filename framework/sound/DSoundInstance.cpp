#include "framework/sound/DSoundInstance.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/DSoundVolume.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"

namespace Kit {

namespace {

// The duplicate failures worth naming to the user; any other failure ends the program silently.
const char* DuplicateFailureName(HRESULT result) {
  switch (result) {
    case DSERR_INVALIDPARAM:
      return "DSERR_INVALIDPARAM";
    case DSERR_OUTOFMEMORY:
      return "DSERR_OUTOFMEMORY";
    case DSERR_ALLOCATED:
      return "DSERR_ALLOCATED";
    case DSERR_INVALIDCALL:
      return "DSERR_INVALIDCALL";
    case DSERR_UNINITIALIZED:
      return "DSERR_UNINITIALIZED";
    default:
      return nullptr;
  }
}

constexpr double kSemitoneRatio = 1.0594630943592953;

}  // namespace

DSoundInstance::DSoundInstance(DSoundManager* soundManager, LPDIRECTSOUNDBUFFER sourceSound)
    : mSoundManager(soundManager), mSourceSoundBuffer(sourceSound) {
  if (mSourceSoundBuffer) {
    HRESULT result = soundManager->mDirectSound->DuplicateSoundBuffer(mSourceSoundBuffer, &mSoundBuffer);
    if (FAILED(result)) {
      if (const char* name = DuplicateFailureName(result)) MessageBox(nullptr, name, "Hey", MB_OK);
      ExitProcess(EXIT_FAILURE);
    }
    DWORD frequency = 0;
    if (SUCCEEDED(mSoundBuffer->GetFrequency(&frequency))) mDefaultFrequency = frequency;
  }
  RehupVolume();
}

DSoundInstance::~DSoundInstance() {
  if (mSoundBuffer) mSoundBuffer->Release();
}

void DSoundInstance::RehupVolume() {
  if (mSoundBuffer)
    mSoundBuffer->SetVolume(DSoundVolumeFromLinear(mSoundManager->mMasterVolume * mVolume * mBaseVolume));
}

void DSoundInstance::RehupPan() {
  // The base pan comes from the resource file and may be any int: a sum beyond the buffer's range is
  // refused by the buffer like any other out-of-range pan.
  const long long pan = static_cast<long long>(mBasePan) + mPan;
  if (mSoundBuffer)
    mSoundBuffer->SetPan(static_cast<LONG>(std::clamp<long long>(pan, DSBPAN_LEFT - 1LL, DSBPAN_RIGHT + 1LL)));
}

void DSoundInstance::Release() {
  Stop();
  mReleased = true;
}

void DSoundInstance::SetBaseVolume(double newVolume) {
  mBaseVolume = newVolume;
  RehupVolume();
}

void DSoundInstance::SetBasePan(int newPan) {
  mBasePan = newPan;
  RehupPan();
}

void DSoundInstance::AdjustPitch(double semitones) {
  if (!mSoundBuffer) return;
  double frequency = std::pow(kSemitoneRatio, semitones) * mDefaultFrequency;
  if (frequency < 100) frequency = 100;
  if (frequency > 100000) frequency = 100000;
  mSoundBuffer->SetFrequency(static_cast<DWORD>(frequency));
}

void DSoundInstance::SetVolume(double newVolume) {
  mVolume = newVolume;
  RehupVolume();
}

void DSoundInstance::SetPan(int newPan) {
  mPan = newPan;
  RehupPan();
}

bool DSoundInstance::Play(bool looping, bool releaseWhenDone) {
  Stop();
  mHasPlayed = true;
  mAutoRelease = releaseWhenDone;
  if (!mSoundBuffer) return false;
  return SUCCEEDED(mSoundBuffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0));
}

void DSoundInstance::Stop() {
  if (mSoundBuffer) {
    mSoundBuffer->Stop();
    mSoundBuffer->SetCurrentPosition(0);
  }
  mAutoRelease = false;
}

bool DSoundInstance::IsPlaying() {
  if (!mHasPlayed || !mSoundBuffer) return false;
  DWORD status = 0;
  if (FAILED(mSoundBuffer->GetStatus(&status))) return false;
  return (status & DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased() {
  if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying()) Release();
  return mReleased;
}

double DSoundInstance::GetVolume() { return mVolume; }

}  // namespace Kit
