#include "framework/sound/DSoundManager.h"

#include <cmath>

#include "framework/sound/FModLibrary.h"
#include "framework/sound/WaveOutVolume.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {

constexpr DWORD kSweepIntervalMs = 1000;

}  // namespace

DSoundManager::DSoundManager(HWND window, bool useFMod) : mHaveFMod(useFMod) {
  mBaseVolumes.fill(1.0);
  if (!window) return;

  HMODULE dsound = GetModuleHandle("dsound.dll");
  auto create = reinterpret_cast<LPDIRECTSOUNDCREATE>(dsound ? GetProcAddress(dsound, "DirectSoundCreate") : nullptr);
  if (!create) return;
  if (FAILED(create(nullptr, &mDirectSound, nullptr))) {
    mDirectSound = nullptr;
    return;
  }

  if (mHaveFMod) {
    LoadFModDLL();
    gFModInstance->FSOUND_SetHWND(window);
    gFModInstance->FSOUND_SetBufferSize(200);
    gFModInstance->FSOUND_Init(44100, 64, 2);
  }

  if (FAILED(mDirectSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
    mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
    return;
  }
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (SUCCEEDED(mDirectSound->CreateSoundBuffer(&desc, &mPrimaryBuffer, nullptr))) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    mPrimaryBuffer->SetFormat(&format);
  } else {
    mPrimaryBuffer = nullptr;
  }
}

std::string DSoundManager::SourceFileOf(const std::string& fileName) {
  for (const SourceKind& kind : kSourceKinds) {
    if (!Reads(kind)) continue;
    const std::string name = fileName + kind.mExtension;
    if (plat::AnythingAt(plat::MapPath(name))) return name;
  }
  return {};
}

DSoundManager::~DSoundManager() {
  ReleaseChannels();
  ReleaseSounds();
  if (mPrimaryBuffer) mPrimaryBuffer->Release();
  if (mDirectSound) {
    if (mHaveFMod) gFModInstance->FSOUND_Close();
    mDirectSound->Release();
    if (mHaveFMod) FreeFModDLL();
  }
}

bool DSoundManager::Initialized() { return mDirectSound != nullptr; }

void DSoundManager::ReleaseSound(unsigned int soundId) {
  if (soundId >= kMaxSounds) return;
  if (mSourceSounds[soundId]) mSourceSounds[soundId]->Release();
  mSourceSounds[soundId] = nullptr;
  mSourceDataSizes[soundId] = 0;
  mSourceFileNames[soundId].clear();
}

void DSoundManager::SetVolume(double volume) {
  mMasterVolume = volume;
  for (DSoundInstance* instance : mPlayingSounds) {
    if (instance) instance->RehupVolume();
  }
}

bool DSoundManager::SetBaseVolume(unsigned int soundId, double volume) {
  if (soundId >= kMaxSounds) return false;
  mBaseVolumes[soundId] = volume;
  return true;
}

bool DSoundManager::SetBasePan(unsigned int soundId, int pan) {
  if (soundId >= kMaxSounds) return false;
  mBasePans[soundId] = pan;
  return true;
}

void DSoundManager::ReleaseFreeChannels() {
  for (DSoundInstance*& instance : mPlayingSounds) {
    if (instance && instance->IsReleased()) {
      delete instance;
      instance = nullptr;
    }
  }
}

int DSoundManager::FindFreeChannel() {
  DWORD tick = GetTickCount();
  if (tick - mLastReleaseTick > kSweepIntervalMs) {
    ReleaseFreeChannels();
    mLastReleaseTick = tick;
  }
  for (int channel = 0; channel < kMaxChannels; ++channel) {
    DSoundInstance*& instance = mPlayingSounds[static_cast<std::size_t>(channel)];
    if (!instance) return channel;
    if (instance->IsReleased()) {
      delete instance;
      instance = nullptr;
      return channel;
    }
  }
  return -1;
}

SoundInstance* DSoundManager::GetSoundInstance(unsigned int soundId) {
  if (soundId >= kMaxSounds) return nullptr;
  int channel = FindFreeChannel();
  if (channel < 0) return nullptr;
  DSoundInstance* instance = nullptr;
  if (!mDirectSound) {
    instance = new DSoundInstance(this, nullptr);
  } else {
    if (!mSourceSounds[soundId]) return nullptr;
    instance = new DSoundInstance(this, mSourceSounds[soundId]);
  }
  mPlayingSounds[static_cast<std::size_t>(channel)] = instance;
  instance->SetBasePan(mBasePans[soundId]);
  instance->SetBaseVolume(mBaseVolumes[soundId]);
  return instance;
}

void DSoundManager::ReleaseSounds() {
  for (unsigned int id = 0; id < kMaxSounds; ++id) {
    if (mSourceSounds[id]) mSourceSounds[id]->Release();
    mSourceSounds[id] = nullptr;
    mSourceDataSizes[id] = 0;
  }
}

void DSoundManager::ReleaseChannels() {
  for (DSoundInstance*& instance : mPlayingSounds) {
    delete instance;
    instance = nullptr;
  }
}

double DSoundManager::GetMasterVolume() {
  auto volume = ReadWaveOutVolume();
  return volume ? *volume / 65535.0 : 0.0;
}

void DSoundManager::SetMasterVolume(double volume) {
  // Out-of-range volumes would wrap around in the unsigned control value.
  double clamped = std::isnan(volume) ? 0.0 : std::fmin(std::fmax(volume, 0.0), 1.0);
  WriteWaveOutVolume(static_cast<DWORD>(clamped * 65535));
}

void DSoundManager::SpareHook() {}

void DSoundManager::SetCooperativeWindow(HWND window, bool) {
  if (mDirectSound) mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
}

void DSoundManager::StopAllSounds() {
  for (DSoundInstance* instance : mPlayingSounds) {
    if (!instance) continue;
    bool keepAutoRelease = instance->mAutoRelease;
    instance->Stop();
    instance->mAutoRelease = keepAutoRelease;
  }
}

}  // namespace Kit
