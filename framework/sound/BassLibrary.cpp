#include "framework/sound/BassLibrary.h"

#include <string>

#include "framework/sound/MusicLibraryFatal.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/threads/Sync.h"

namespace Kit {

BASS_INSTANCE* gBassInstance = nullptr;
volatile LONG gBassRefCount = 0;

namespace {

FARPROC Required(HMODULE module, const char* name) {
  FARPROC entry = GetProcAddress(module, name);
  if (!entry) {
    std::string text = std::string(name) + " function not found in bass.dll";
    MusicLibraryFatal(text.c_str());
  }
  return entry;
}

template <typename Pointer>
void Bind(HMODULE module, const char* name, Pointer& entry) {
  entry = reinterpret_cast<Pointer>(Required(module, name));
}

}  // namespace

BASS_INSTANCE::BASS_INSTANCE(const char* fileName) {
  mModule = LoadLibrary(fileName);
  if (!mModule) return;
  // An exit hook may unwind out of a fatal end (tests): the library is not left loaded then.
  try {
    BindEntryPoints();
  } catch (...) {
    FreeLibrary(mModule);
    throw;
  }
}

void BASS_INSTANCE::BindEntryPoints() {
  // Both generations export "BASS_Init" and "BASS_MusicLoad"; what they take is settled below.
  FARPROC init = Required(mModule, "BASS_Init");
  Bind(mModule, "BASS_Free", BASS_Free);
  Bind(mModule, "BASS_Stop", BASS_Stop);
  Bind(mModule, "BASS_Start", BASS_Start);
  BASS_SetGlobalVolumes =
      reinterpret_cast<decltype(BASS_SetGlobalVolumes)>(GetProcAddress(mModule, "BASS_SetGlobalVolumes"));
  BASS_SetVolume = reinterpret_cast<decltype(BASS_SetVolume)>(GetProcAddress(mModule, "BASS_SetVolume"));
  if (!BASS_SetGlobalVolumes && !BASS_SetVolume)
    MusicLibraryFatal("Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll");
  BASS_SetConfig = reinterpret_cast<decltype(BASS_SetConfig)>(GetProcAddress(mModule, "BASS_SetConfig"));
  Bind(mModule, "BASS_MusicSetAmplify", BASS_MusicSetAmplify);
  Bind(mModule, "BASS_ChannelStop", BASS_ChannelStop);
  Bind(mModule, "BASS_ChannelPause", BASS_ChannelPause);
  Bind(mModule, "BASS_ChannelResume", BASS_ChannelResume);
  Bind(mModule, "BASS_ChannelSetAttributes", BASS_ChannelSetAttributes);
  Bind(mModule, "BASS_ChannelSetPosition", BASS_ChannelSetPosition);
  Bind(mModule, "BASS_ChannelIsActive", BASS_ChannelIsActive);
  FARPROC musicLoad = Required(mModule, "BASS_MusicLoad");
  Bind(mModule, "BASS_MusicPlay", BASS_MusicPlay);
  Bind(mModule, "BASS_MusicPlayEx", BASS_MusicPlayEx);
  Bind(mModule, "BASS_MusicFree", BASS_MusicFree);
  Bind(mModule, "BASS_StreamCreateFile", BASS_StreamCreateFile);
  Bind(mModule, "BASS_StreamFree", BASS_StreamFree);
  Bind(mModule, "BASS_StreamPlay", BASS_StreamPlay);

  mIsVersion2 = BASS_SetConfig != nullptr;
  if (mIsVersion2) {
    BASS_Init2 = reinterpret_cast<BASS_InitV2Proc>(init);
    BASS_MusicLoad2 = reinterpret_cast<BASS_MusicLoadV2Proc>(musicLoad);
  } else {
    BASS_Init = reinterpret_cast<BASS_InitV1Proc>(init);
    BASS_MusicLoad = reinterpret_cast<BASS_MusicLoadV1Proc>(musicLoad);
  }
}

BASS_INSTANCE::~BASS_INSTANCE() {
  if (mModule) FreeLibrary(mModule);
}

void LoadBassDLL() {
  InterlockedIncrement(&gBassRefCount);
  if (gBassInstance) return;
  try {
    gBassInstance = new BASS_INSTANCE("bass.dll");
  } catch (...) {
    InterlockedDecrement(&gBassRefCount);
    throw;
  }
  if (!gBassInstance->mModule) {
    // Nothing is left behind for an exit hook that unwinds (tests).
    delete gBassInstance;
    gBassInstance = nullptr;
    InterlockedDecrement(&gBassRefCount);
    MusicLibraryFatal("Can't find bass.dll.");
  }
}

void FreeBassDLL() {
  if (!gBassInstance) return;
  if (InterlockedDecrement(&gBassRefCount) <= 0) {
    delete gBassInstance;
    gBassInstance = nullptr;
  }
}

}  // namespace Kit
