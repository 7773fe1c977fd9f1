#include "framework/sound/MusicLibraryFatal.h"

#include "platform/win/MessageBox.h"
#include "platform/win/Process.h"

namespace Kit {

void MusicLibraryFatal(const char* text) {
  MessageBox(nullptr, text, "Error", MB_OK | MB_ICONERROR);
  ExitProcess(0);
}

}  // namespace Kit
