// Whether the display connection can still be used after a fault: not when the fault interrupted its
// client library on the handling thread, which then holds the connection's locks for ever and may have
// left a request half sent.
#include <dlfcn.h>

#include <cstring>

#include "platform/win/Exceptions.h"

namespace {

// The display's client libraries, by the start of their file names.
constexpr const char* kDisplayLibraries[] = {"libX11.", "libX11-xcb.", "libxcb.", "libxcb-", "libwayland-client."};

bool InDisplayLibrary(ULONGLONG pc) {
  Dl_info object{};
  if (pc == 0 || ::dladdr(reinterpret_cast<void*>(pc), &object) == 0 || object.dli_fname == nullptr) return false;
  const char* slash = std::strrchr(object.dli_fname, '/');
  const char* name = slash != nullptr ? slash + 1 : object.dli_fname;
  for (const char* library : kDisplayLibraries)
    if (std::strncmp(name, library, std::strlen(library)) == 0) return true;
  return false;
}

}  // namespace

namespace plat {

bool DisplayUsableAfterFault() {
  const FaultFrames& frames = CurrentFaultFrames();
  // A caller's frame holds its return address: the call lies one byte before it.
  for (int i = 0; i < frames.count; ++i)
    if (InDisplayLibrary(i == 0 ? frames.pc[i] : frames.pc[i] - 1)) return false;
  return true;
}

}  // namespace plat
