// The modules of every room of the layer, registered in the module table of platform/win.
#include "platform/bass/Bass.h"
#include "platform/ddraw/DDraw.h"
#include "platform/dsound/DSoundModule.h"
#include "platform/fmod/FMod.h"
#include "platform/win/crash/ImageHelp.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/system/WindowsModules.h"

namespace plat {

// Each module of the layer adds its registration call here.
void RegisterBuiltinModules() {
  RegisterDDrawModule();
  RegisterDSoundModule();
  RegisterFModModule();
  RegisterWindowsModules();
  RegisterBassModule();
  RegisterImageHelpModule();
}

}  // namespace plat
