// The run-time loaded "bass.dll": one shared wrapper holding its entry points, counted by references.
// It serves both generations of the library; whether "BASS_SetConfig" exists decides which forms of
// "BASS_Init" and "BASS_MusicLoad" are bound.
#pragma once

#include "platform/bass/Bass.h"
#include "platform/win/Types.h"

namespace Kit {

class BASS_INSTANCE {
 public:
  // Loads the library; when it is missing the module handle stays null. A library without one of the
  // required entry points ends the program with a message naming it.
  explicit BASS_INSTANCE(const char* fileName);
  virtual ~BASS_INSTANCE();
  BASS_INSTANCE(const BASS_INSTANCE&) = delete;
  BASS_INSTANCE& operator=(const BASS_INSTANCE&) = delete;

  HMODULE mModule = nullptr;
  bool mIsVersion2 = false;
  BASS_InitV1Proc BASS_Init = nullptr;
  BASS_InitV2Proc BASS_Init2 = nullptr;
  decltype(&::BASS_Free) BASS_Free = nullptr;
  decltype(&::BASS_Stop) BASS_Stop = nullptr;
  decltype(&::BASS_Start) BASS_Start = nullptr;
  decltype(&::BASS_SetGlobalVolumes) BASS_SetGlobalVolumes = nullptr;
  decltype(&::BASS_SetVolume) BASS_SetVolume = nullptr;
  decltype(&::BASS_MusicSetAmplify) BASS_MusicSetAmplify = nullptr;
  decltype(&::BASS_SetConfig) BASS_SetConfig = nullptr;
  decltype(&::BASS_ChannelStop) BASS_ChannelStop = nullptr;
  decltype(&::BASS_ChannelPause) BASS_ChannelPause = nullptr;
  decltype(&::BASS_ChannelResume) BASS_ChannelResume = nullptr;
  decltype(&::BASS_ChannelSetAttributes) BASS_ChannelSetAttributes = nullptr;
  decltype(&::BASS_ChannelSetPosition) BASS_ChannelSetPosition = nullptr;
  decltype(&::BASS_ChannelIsActive) BASS_ChannelIsActive = nullptr;
  BASS_MusicLoadV1Proc BASS_MusicLoad = nullptr;
  BASS_MusicLoadV2Proc BASS_MusicLoad2 = nullptr;
  decltype(&::BASS_MusicPlay) BASS_MusicPlay = nullptr;
  decltype(&::BASS_MusicPlayEx) BASS_MusicPlayEx = nullptr;
  decltype(&::BASS_MusicFree) BASS_MusicFree = nullptr;
  decltype(&::BASS_StreamCreateFile) BASS_StreamCreateFile = nullptr;
  decltype(&::BASS_StreamFree) BASS_StreamFree = nullptr;
  decltype(&::BASS_StreamPlay) BASS_StreamPlay = nullptr;

 private:
  void BindEntryPoints();
};

// The shared wrapper (null when none) and its reference count.
extern BASS_INSTANCE* gBassInstance;
extern volatile LONG gBassRefCount;

// Takes a reference, loading "bass.dll" on the first; a missing library ends the program.
void LoadBassDLL();
// Drops a reference; the last one unloads the library.
void FreeBassDLL();

}  // namespace Kit
