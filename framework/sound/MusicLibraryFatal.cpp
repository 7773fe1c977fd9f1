#include "framework/sound/MusicLibraryFatal.h"

#include <cstdlib>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"

namespace Kit {

void MusicLibraryFatal(const char* text) {
  MessageBox(nullptr, text, "Error", MB_OK | MB_ICONERROR);
  ExitProcess(EXIT_FAILURE);
}

}  // namespace Kit
