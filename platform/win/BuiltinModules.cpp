#include "platform/bass/Bass.h"
#include "platform/ddraw/DDraw.h"
#include "platform/dsound/DSoundModule.h"
#include "platform/fmod/FMod.h"
#include "platform/win/Modules.h"
#include "platform/win/WindowsModules.h"
#include "platform/win/crash/ImageHelp.h"

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
