#include "framework/sound/MusicLibraryFatal.h"

#include <cstdlib>

#include "platform/win/MessageBox.h"
#include "platform/win/Process.h"

namespace Kit {

void MusicLibraryFatal(const char* text) {
  MessageBox(nullptr, text, "Error", MB_OK | MB_ICONERROR);
  ExitProcess(EXIT_FAILURE);
}

}  // namespace Kit
