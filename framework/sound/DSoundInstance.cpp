#include "framework/sound/DSoundInstance.h"

#include <cmath>
#include <cstdlib>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/DSoundVolume.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Process.h"

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
    : soundManager(soundManager), sourceSoundBuffer(sourceSound) {
  if (sourceSoundBuffer) {
    HRESULT result = soundManager->directSound->DuplicateSoundBuffer(sourceSoundBuffer, &soundBuffer);
    if (FAILED(result)) {
      if (const char* name = DuplicateFailureName(result)) MessageBox(nullptr, name, "Hey", MB_OK);
      ExitProcess(EXIT_FAILURE);
    }
    DWORD frequency = 0;
    if (SUCCEEDED(soundBuffer->GetFrequency(&frequency))) defaultFrequency = frequency;
  }
  RehupVolume();
}

DSoundInstance::~DSoundInstance() {
  if (soundBuffer) soundBuffer->Release();
}

void DSoundInstance::RehupVolume() {
  if (soundBuffer) soundBuffer->SetVolume(DSoundVolumeFromLinear(soundManager->masterVolume * volume * baseVolume));
}

void DSoundInstance::RehupPan() {
  if (soundBuffer) soundBuffer->SetPan(basePan + pan);
}

void DSoundInstance::Release() {
  Stop();
  released = true;
}

void DSoundInstance::SetBaseVolume(double newVolume) {
  baseVolume = newVolume;
  RehupVolume();
}

void DSoundInstance::SetBasePan(int newPan) {
  basePan = newPan;
  RehupPan();
}

void DSoundInstance::AdjustPitch(double semitones) {
  if (!soundBuffer) return;
  double frequency = std::pow(kSemitoneRatio, semitones) * defaultFrequency;
  if (frequency < 100) frequency = 100;
  if (frequency > 100000) frequency = 100000;
  soundBuffer->SetFrequency(static_cast<DWORD>(frequency));
}

void DSoundInstance::SetVolume(double newVolume) {
  volume = newVolume;
  RehupVolume();
}

void DSoundInstance::SetPan(int newPan) {
  pan = newPan;
  RehupPan();
}

bool DSoundInstance::Play(bool looping, bool releaseWhenDone) {
  Stop();
  hasPlayed = true;
  autoRelease = releaseWhenDone;
  if (!soundBuffer) return false;
  return SUCCEEDED(soundBuffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0));
}

void DSoundInstance::Stop() {
  if (soundBuffer) {
    soundBuffer->Stop();
    soundBuffer->SetCurrentPosition(0);
  }
  autoRelease = false;
}

bool DSoundInstance::IsPlaying() {
  if (!hasPlayed || !soundBuffer) return false;
  DWORD status = 0;
  if (FAILED(soundBuffer->GetStatus(&status))) return false;
  return (status & DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased() {
  if (!released && autoRelease && hasPlayed && !IsPlaying()) Release();
  return released;
}

double DSoundInstance::GetVolume() { return volume; }

}  // namespace Kit
