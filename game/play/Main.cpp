// The game's entry point: keeps the module handle and the command line, then runs the one application
// object through its Init and Start and deletes it when the loop has ended. Without a display (SDL's
// dummy video driver) the same program runs headless.
#include "game/play/GameApp.h"
#include "platform/win/Modules.h"
#include "platform/win/PathMap.h"
#include "platform/win/Process.h"

int main(int argc, char** argv) {
  plat::SetCommandLine(plat::CommandLineFromArguments(argc, argv));
  // Relative paths: the player's own files first, then the game's data.
  plat::UseGameFolders("quarvel", QUARVEL_DATA_FROM_PROGRAM, QUARVEL_INSTALLED_DATA_DIR);
  Kit::gHInstance = reinterpret_cast<HINSTANCE>(GetModuleHandle(nullptr));
  auto* app = new GameApp();
  app->Init();
  app->Start();
  delete app;
  return 0;
}
