// The game's entry point: keeps the module handle and the command line, names the program's icon, then runs the one
// application object through its Init and Start and deletes it when the loop has ended; a run that a failed load ended
// ends the program with a failure status. Without a display (SDL's dummy video driver) the same program runs headless.
#include <cstdlib>
#include <string>

#include "game/play/GameApp.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/Process.h"
#include "platform/win/window/IconResources.h"

namespace {

// The show mode of a plain start (the window shown normally); the game does not read it.
constexpr int kShowNormal = 1;

// The game's entry function as the platform hands it the start: only the instance handle is used (the
// application reads the command line itself).
int WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR /*commandLine*/, int /*showMode*/) {
  Kit::gHInstance = instance;
  auto* app = new GameApp();
  app->Init();
  app->Start();
  const int status = app->mLoadingFailed ? EXIT_FAILURE : EXIT_SUCCESS;
  delete app;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  plat::SetCommandLine(plat::CommandLineFromArguments(argc, argv));
  // Relative paths: the player's own files first, then the game's data.
  plat::UseGameFolders("quarvel", QUARVEL_DATA_FROM_PROGRAM, QUARVEL_INSTALLED_DATA_DIR);
  // The program's icon, the one its window shows: the desktop's icon, beside the data in a build tree
  // and in the icon theme beside the installed data.
  const std::string data = plat::DataFolder();
  plat::AddIconResource("IDI_MAIN_ICON",
                        {data + "/icons/256/quarvel.png", data + "/../icons/hicolor/256x256/apps/quarvel.png"});
  return WinMain(reinterpret_cast<HINSTANCE>(GetModuleHandle(nullptr)), nullptr, GetCommandLineA(), kShowNormal);
}
