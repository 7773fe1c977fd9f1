// Dialog templates are read from memory the program filled: any bytes must be read, or refused,
// without reading past them, and whatever is read must make a dialog or fail cleanly.
#include <cstdint>
#include <cstring>

#include "platform/ui/dialogs/DialogTemplate.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/win/process/Memory.h"

namespace {

INT_PTR EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 1);
  return FALSE;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parsed = plat::ParseDialogTemplate(data, size);
  // A template that reads is made into a dialog from a global block of exactly its bytes.
  if (parsed && parsed->items.size() <= 16 && size > 0) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* bytes = GlobalLock(block);
    std::memcpy(bytes, data, size);
    DialogBoxIndirectParam(nullptr, static_cast<LPCDLGTEMPLATE>(bytes), nullptr, EndAtOnce, 0);
    GlobalUnlock(block);
    GlobalFree(block);
  }
  return 0;
}
