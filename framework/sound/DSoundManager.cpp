#include "framework/sound/DSoundManager.h"

#include <cmath>

#include "framework/sound/FModLibrary.h"
#include "framework/sound/WaveOutVolume.h"
#include "platform/win/Modules.h"
#include "platform/win/Time.h"

namespace Kit {

namespace {

constexpr DWORD kSweepIntervalMs = 1000;

}  // namespace

DSoundManager::DSoundManager(HWND window, bool useFMod) : haveFMod(useFMod) {
  baseVolumes.fill(1.0);
  if (!window) return;

  HMODULE dsound = GetModuleHandle("dsound.dll");
  auto create = reinterpret_cast<LPDIRECTSOUNDCREATE>(dsound ? GetProcAddress(dsound, "DirectSoundCreate") : nullptr);
  if (!create) return;
  if (FAILED(create(nullptr, &directSound, nullptr))) {
    directSound = nullptr;
    return;
  }

  if (haveFMod) {
    LoadFModDLL();
    gFModInstance->FSOUND_SetHWND(window);
    gFModInstance->FSOUND_SetBufferSize(200);
    gFModInstance->FSOUND_Init(44100, 64, 2);
  }

  if (FAILED(directSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
    directSound->SetCooperativeLevel(window, DSSCL_NORMAL);
    return;
  }
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (SUCCEEDED(directSound->CreateSoundBuffer(&desc, &primaryBuffer, nullptr))) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    primaryBuffer->SetFormat(&format);
  } else {
    primaryBuffer = nullptr;
  }
}

DSoundManager::~DSoundManager() {
  ReleaseChannels();
  ReleaseSounds();
  if (primaryBuffer) primaryBuffer->Release();
  if (directSound) {
    if (haveFMod) gFModInstance->FSOUND_Close();
    directSound->Release();
    if (haveFMod) FreeFModDLL();
  }
}

bool DSoundManager::Initialized() { return directSound != nullptr; }

void DSoundManager::ReleaseSound(unsigned int soundId) {
  if (soundId >= kMaxSounds) return;
  if (sourceSounds[soundId]) sourceSounds[soundId]->Release();
  sourceSounds[soundId] = nullptr;
  sourceDataSizes[soundId] = 0;
  sourceFileNames[soundId].clear();
}

void DSoundManager::SetVolume(double volume) {
  masterVolume = volume;
  for (DSoundInstance* instance : playingSounds) {
    if (instance) instance->RehupVolume();
  }
}

bool DSoundManager::SetBaseVolume(unsigned int soundId, double volume) {
  if (soundId >= kMaxSounds) return false;
  baseVolumes[soundId] = volume;
  return true;
}

bool DSoundManager::SetBasePan(unsigned int soundId, int pan) {
  if (soundId >= kMaxSounds) return false;
  basePans[soundId] = pan;
  return true;
}

void DSoundManager::ReleaseFreeChannels() {
  for (DSoundInstance*& instance : playingSounds) {
    if (instance && instance->IsReleased()) {
      delete instance;
      instance = nullptr;
    }
  }
}

int DSoundManager::FindFreeChannel() {
  DWORD tick = GetTickCount();
  if (tick - lastReleaseTick > kSweepIntervalMs) {
    ReleaseFreeChannels();
    lastReleaseTick = tick;
  }
  for (int channel = 0; channel < kMaxChannels; ++channel) {
    DSoundInstance*& instance = playingSounds[static_cast<std::size_t>(channel)];
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
  if (!directSound) {
    instance = new DSoundInstance(this, nullptr);
  } else {
    if (!sourceSounds[soundId]) return nullptr;
    instance = new DSoundInstance(this, sourceSounds[soundId]);
  }
  playingSounds[static_cast<std::size_t>(channel)] = instance;
  instance->SetBasePan(basePans[soundId]);
  instance->SetBaseVolume(baseVolumes[soundId]);
  return instance;
}

void DSoundManager::ReleaseSounds() {
  for (unsigned int id = 0; id < kMaxSounds; ++id) {
    if (sourceSounds[id]) sourceSounds[id]->Release();
    sourceSounds[id] = nullptr;
    sourceDataSizes[id] = 0;
  }
}

void DSoundManager::ReleaseChannels() {
  for (DSoundInstance*& instance : playingSounds) {
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
  if (directSound) directSound->SetCooperativeLevel(window, DSSCL_NORMAL);
}

void DSoundManager::StopAllSounds() {
  for (DSoundInstance* instance : playingSounds) {
    if (!instance) continue;
    bool keepAutoRelease = instance->autoRelease;
    instance->Stop();
    instance->autoRelease = keepAutoRelease;
  }
}

}  // namespace Kit
