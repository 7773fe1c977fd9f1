#include "platform/fmod/FMod.h"
#include "platform/win/modules/Modules.h"

namespace plat {

void RegisterFModModule() {
  // The names carry the decoration of the 32-bit stdcall exports the program looks up.
  RegisterModule("fmod.dll", {
                                 {"_FSOUND_SetBufferSize@4", ExportOf(&FSOUND_SetBufferSize)},
                                 {"_FSOUND_SetHWND@4", ExportOf(&FSOUND_SetHWND)},
                                 {"_FSOUND_Init@12", ExportOf(&FSOUND_Init)},
                                 {"_FSOUND_Close@0", ExportOf(&FSOUND_Close)},
                                 {"_FSOUND_Sample_Load@16", ExportOf(&FSOUND_Sample_Load)},
                                 {"_FSOUND_Sample_Alloc@28", ExportOf(&FSOUND_Sample_Alloc)},
                                 {"_FSOUND_Sample_Free@4", ExportOf(&FSOUND_Sample_Free)},
                                 {"_FSOUND_Sample_Lock@28", ExportOf(&FSOUND_Sample_Lock)},
                                 {"_FSOUND_Sample_Unlock@20", ExportOf(&FSOUND_Sample_Unlock)},
                                 {"_FSOUND_Sample_SetLoopPoints@12", ExportOf(&FSOUND_Sample_SetLoopPoints)},
                                 {"_FSOUND_Sample_GetLength@4", ExportOf(&FSOUND_Sample_GetLength)},
                                 {"_FSOUND_Sample_GetDefaults@20", ExportOf(&FSOUND_Sample_GetDefaults)},
                                 {"_FSOUND_Sample_GetMode@4", ExportOf(&FSOUND_Sample_GetMode)},
                                 {"_FSOUND_PlaySound@8", ExportOf(&FSOUND_PlaySound)},
                                 {"_FSOUND_StopSound@4", ExportOf(&FSOUND_StopSound)},
                                 {"_FSOUND_SetVolume@8", ExportOf(&FSOUND_SetVolume)},
                                 {"_FSOUND_SetPaused@8", ExportOf(&FSOUND_SetPaused)},
                                 {"_FSOUND_SetLoopMode@8", ExportOf(&FSOUND_SetLoopMode)},
                                 {"_FSOUND_IsPlaying@4", ExportOf(&FSOUND_IsPlaying)},
                                 {"_FSOUND_Stream_OpenFile@12", ExportOf(&FSOUND_Stream_OpenFile)},
                                 {"_FSOUND_Stream_Close@4", ExportOf(&FSOUND_Stream_Close)},
                                 {"_FSOUND_Stream_Play@8", ExportOf(&FSOUND_Stream_Play)},
                                 {"_FMUSIC_LoadSong@4", ExportOf(&FMUSIC_LoadSong)},
                                 {"_FMUSIC_PlaySong@4", ExportOf(&FMUSIC_PlaySong)},
                                 {"_FMUSIC_StopSong@4", ExportOf(&FMUSIC_StopSong)},
                                 {"_FMUSIC_SetLooping@8", ExportOf(&FMUSIC_SetLooping)},
                                 {"_FMUSIC_SetOrder@8", ExportOf(&FMUSIC_SetOrder)},
                                 {"_FMUSIC_SetPaused@8", ExportOf(&FMUSIC_SetPaused)},
                                 {"_FMUSIC_SetMasterVolume@8", ExportOf(&FMUSIC_SetMasterVolume)},
                                 {"_FMUSIC_IsPlaying@4", ExportOf(&FMUSIC_IsPlaying)},
                             });
}

}  // namespace plat
