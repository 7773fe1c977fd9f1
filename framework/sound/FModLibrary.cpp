#include "framework/sound/FModLibrary.h"

#include <string>

#include "framework/sound/MusicLibraryFatal.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/threads/Sync.h"

namespace Kit {

FMOD_INSTANCE* gFModInstance = nullptr;
volatile LONG gFModRefCount = 0;

namespace {

template <typename Pointer>
void Bind(HMODULE module, const char* decoratedName, Pointer& entry) {
  entry = reinterpret_cast<Pointer>(GetProcAddress(module, decoratedName));
  if (!entry) {
    std::string text = std::string("\"") + decoratedName + "\" function not found in fmod.dll";
    MusicLibraryFatal(text.c_str());
  }
}

}  // namespace

FMOD_INSTANCE::FMOD_INSTANCE(const char* fileName) {
  mModule = LoadLibrary(fileName);
  if (!mModule) return;
  Bind(mModule, "_FSOUND_SetBufferSize@4", FSOUND_SetBufferSize);
  Bind(mModule, "_FSOUND_SetHWND@4", FSOUND_SetHWND);
  Bind(mModule, "_FSOUND_Init@12", FSOUND_Init);
  Bind(mModule, "_FSOUND_Close@0", FSOUND_Close);
  Bind(mModule, "_FSOUND_Sample_Load@16", FSOUND_Sample_Load);
  Bind(mModule, "_FSOUND_Sample_Alloc@28", FSOUND_Sample_Alloc);
  Bind(mModule, "_FSOUND_Sample_Free@4", FSOUND_Sample_Free);
  Bind(mModule, "_FSOUND_Sample_Lock@28", FSOUND_Sample_Lock);
  Bind(mModule, "_FSOUND_Sample_Unlock@20", FSOUND_Sample_Unlock);
  Bind(mModule, "_FSOUND_Sample_SetLoopPoints@12", FSOUND_Sample_SetLoopPoints);
  Bind(mModule, "_FSOUND_Sample_GetLength@4", FSOUND_Sample_GetLength);
  Bind(mModule, "_FSOUND_Sample_GetDefaults@20", FSOUND_Sample_GetDefaults);
  Bind(mModule, "_FSOUND_Sample_GetMode@4", FSOUND_Sample_GetMode);
  Bind(mModule, "_FSOUND_PlaySound@8", FSOUND_PlaySound);
  Bind(mModule, "_FSOUND_StopSound@4", FSOUND_StopSound);
  Bind(mModule, "_FSOUND_SetVolume@8", FSOUND_SetVolume);
  Bind(mModule, "_FSOUND_SetPaused@8", FSOUND_SetPaused);
  Bind(mModule, "_FSOUND_SetLoopMode@8", FSOUND_SetLoopMode);
  Bind(mModule, "_FSOUND_IsPlaying@4", FSOUND_IsPlaying);
  Bind(mModule, "_FSOUND_Stream_OpenFile@12", FSOUND_Stream_OpenFile);
  Bind(mModule, "_FSOUND_Stream_Close@4", FSOUND_Stream_Close);
  Bind(mModule, "_FSOUND_Stream_Play@8", FSOUND_Stream_Play);
  Bind(mModule, "_FMUSIC_LoadSong@4", FMUSIC_LoadSong);
  Bind(mModule, "_FMUSIC_PlaySong@4", FMUSIC_PlaySong);
  Bind(mModule, "_FMUSIC_StopSong@4", FMUSIC_StopSong);
  Bind(mModule, "_FMUSIC_SetLooping@8", FMUSIC_SetLooping);
  Bind(mModule, "_FMUSIC_SetOrder@8", FMUSIC_SetOrder);
  Bind(mModule, "_FMUSIC_SetPaused@8", FMUSIC_SetPaused);
  Bind(mModule, "_FMUSIC_SetMasterVolume@8", FMUSIC_SetMasterVolume);
  Bind(mModule, "_FMUSIC_IsPlaying@4", FMUSIC_IsPlaying);
}

FMOD_INSTANCE::~FMOD_INSTANCE() {
  if (mModule) FreeLibrary(mModule);
}

void LoadFModDLL() {
  InterlockedIncrement(&gFModRefCount);
  if (gFModInstance) return;
  gFModInstance = new FMOD_INSTANCE("fmod.dll");
  if (!gFModInstance->mModule) MusicLibraryFatal("Can't find fmod.dll.");
}

void FreeFModDLL() {
  if (!gFModInstance) return;
  if (InterlockedDecrement(&gFModRefCount) <= 0) {
    delete gFModInstance;
    gFModInstance = nullptr;
  }
}

}  // namespace Kit
