// The run-time loaded "fmod.dll": one shared wrapper holding its entry points, counted by references
// (the sound manager and the FMOD music player each hold one).
#pragma once

#include "platform/fmod/FMod.h"
#include "platform/win/Types.h"

namespace Kit {

class FMOD_INSTANCE {
 public:
  // Loads the library; when it is missing the module handle stays null. A library without one of
  // the entry points ends the program with a message naming it.
  explicit FMOD_INSTANCE(const char* fileName);
  virtual ~FMOD_INSTANCE();
  FMOD_INSTANCE(const FMOD_INSTANCE&) = delete;
  FMOD_INSTANCE& operator=(const FMOD_INSTANCE&) = delete;

  HMODULE mModule = nullptr;
  decltype(&::FSOUND_SetBufferSize) FSOUND_SetBufferSize = nullptr;
  decltype(&::FSOUND_SetHWND) FSOUND_SetHWND = nullptr;
  decltype(&::FSOUND_Init) FSOUND_Init = nullptr;
  decltype(&::FSOUND_Close) FSOUND_Close = nullptr;
  decltype(&::FSOUND_Sample_Load) FSOUND_Sample_Load = nullptr;
  decltype(&::FSOUND_Sample_Alloc) FSOUND_Sample_Alloc = nullptr;
  decltype(&::FSOUND_Sample_Free) FSOUND_Sample_Free = nullptr;
  decltype(&::FSOUND_Sample_Lock) FSOUND_Sample_Lock = nullptr;
  decltype(&::FSOUND_Sample_Unlock) FSOUND_Sample_Unlock = nullptr;
  decltype(&::FSOUND_Sample_SetLoopPoints) FSOUND_Sample_SetLoopPoints = nullptr;
  decltype(&::FSOUND_Sample_GetLength) FSOUND_Sample_GetLength = nullptr;
  decltype(&::FSOUND_Sample_GetDefaults) FSOUND_Sample_GetDefaults = nullptr;
  decltype(&::FSOUND_Sample_GetMode) FSOUND_Sample_GetMode = nullptr;
  decltype(&::FSOUND_PlaySound) FSOUND_PlaySound = nullptr;
  decltype(&::FSOUND_StopSound) FSOUND_StopSound = nullptr;
  decltype(&::FSOUND_SetVolume) FSOUND_SetVolume = nullptr;
  decltype(&::FSOUND_SetPaused) FSOUND_SetPaused = nullptr;
  decltype(&::FSOUND_SetLoopMode) FSOUND_SetLoopMode = nullptr;
  decltype(&::FSOUND_IsPlaying) FSOUND_IsPlaying = nullptr;
  decltype(&::FSOUND_Stream_OpenFile) FSOUND_Stream_OpenFile = nullptr;
  decltype(&::FSOUND_Stream_Close) FSOUND_Stream_Close = nullptr;
  decltype(&::FSOUND_Stream_Play) FSOUND_Stream_Play = nullptr;
  decltype(&::FMUSIC_LoadSong) FMUSIC_LoadSong = nullptr;
  decltype(&::FMUSIC_PlaySong) FMUSIC_PlaySong = nullptr;
  decltype(&::FMUSIC_StopSong) FMUSIC_StopSong = nullptr;
  decltype(&::FMUSIC_SetLooping) FMUSIC_SetLooping = nullptr;
  decltype(&::FMUSIC_SetOrder) FMUSIC_SetOrder = nullptr;
  decltype(&::FMUSIC_SetPaused) FMUSIC_SetPaused = nullptr;
  decltype(&::FMUSIC_SetMasterVolume) FMUSIC_SetMasterVolume = nullptr;
  decltype(&::FMUSIC_IsPlaying) FMUSIC_IsPlaying = nullptr;
};

// The shared wrapper (null when none) and its reference count.
extern FMOD_INSTANCE* gFModInstance;
extern volatile LONG gFModRefCount;

// Takes a reference, loading "fmod.dll" on the first; a missing library ends the program.
void LoadFModDLL();
// Drops a reference; the last one unloads the library.
void FreeFModDLL();

}  // namespace Kit
