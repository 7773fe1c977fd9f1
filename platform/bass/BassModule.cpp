#include "platform/bass/Bass.h"
#include "platform/win/modules/Modules.h"

namespace plat {

void RegisterBassModule(BassGeneration generation) {
  bool version2 = generation == BassGeneration::Version2;
  std::vector<ModuleExport> exports = {
      {"BASS_Init", version2 ? ExportOf<BOOL(int, DWORD, DWORD, HWND, const GUID*)>(&BASS_Init)
                             : ExportOf<BOOL(int, DWORD, DWORD, HWND)>(&BASS_Init)},
      {"BASS_Free", ExportOf(&BASS_Free)},
      {"BASS_Stop", ExportOf(&BASS_Stop)},
      {"BASS_Start", ExportOf(&BASS_Start)},
      {"BASS_SetGlobalVolumes", ExportOf(&BASS_SetGlobalVolumes)},
      {"BASS_SetVolume", ExportOf(&BASS_SetVolume)},
      {"BASS_MusicSetAmplify", ExportOf(&BASS_MusicSetAmplify)},
      {"BASS_ChannelStop", ExportOf(&BASS_ChannelStop)},
      {"BASS_ChannelPause", ExportOf(&BASS_ChannelPause)},
      {"BASS_ChannelResume", ExportOf(&BASS_ChannelResume)},
      {"BASS_ChannelSetAttributes", ExportOf(&BASS_ChannelSetAttributes)},
      {"BASS_ChannelSetPosition", ExportOf(&BASS_ChannelSetPosition)},
      {"BASS_ChannelIsActive", ExportOf(&BASS_ChannelIsActive)},
      {"BASS_MusicLoad", version2 ? ExportOf<HMUSIC(BOOL, const void*, DWORD, DWORD, DWORD, DWORD)>(&BASS_MusicLoad)
                                  : ExportOf<HMUSIC(BOOL, const void*, DWORD, DWORD, DWORD)>(&BASS_MusicLoad)},
      {"BASS_MusicPlay", ExportOf(&BASS_MusicPlay)},
      {"BASS_MusicPlayEx", ExportOf(&BASS_MusicPlayEx)},
      {"BASS_MusicFree", ExportOf(&BASS_MusicFree)},
      {"BASS_StreamCreateFile", ExportOf(&BASS_StreamCreateFile)},
      {"BASS_StreamFree", ExportOf(&BASS_StreamFree)},
      {"BASS_StreamPlay", ExportOf(&BASS_StreamPlay)},
  };
  // The configuration call is what tells the generations apart.
  if (version2) exports.push_back({"BASS_SetConfig", ExportOf(&BASS_SetConfig)});
  RegisterModule("bass.dll", std::move(exports));
}

}  // namespace plat
