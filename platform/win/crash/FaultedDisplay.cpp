// Whether the display connection can still be used after a fault: not when the fault interrupted its
// client library on the handling thread, which then holds the connection's locks for ever and may have
// left a request half sent.
#include <cstdint>
#include <cstring>

#include "platform/win/crash/Exceptions.h"
#include "platform/win/crash/SignalSafeText.h"

namespace {

// The display's client libraries, by the start of their file names.
constexpr const char* kDisplayLibraries[] = {"libX11.", "libX11-xcb.", "libxcb.", "libxcb-", "libwayland-client."};

bool IsDisplayLibrary(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return false;
  for (const char* library : kDisplayLibraries)
    if (std::strncmp(slash + 1, library, std::strlen(library)) == 0) return true;
  return false;
}

// Whether one of the frames lies in `line`'s code.
bool HoldsAFrame(const plat::MapLine& line, const plat::FaultFrames& frames) {
  // A caller's frame holds its return address: the call lies one byte before it.
  for (int i = 0; i < frames.count; ++i) {
    const std::uintptr_t pc = i == 0 ? frames.pc[i] : frames.pc[i] - 1;
    if (pc >= line.start && pc < line.end) return true;
  }
  return false;
}

}  // namespace

namespace plat {

bool FramesInDisplayLibrary(const FaultFrames& frames) {
  SignalSafeMemoryMap map;
  MapLine line;
  while (map.Next(&line))
    if (line.execute && IsDisplayLibrary(line.path) && HoldsAFrame(line, frames)) return true;
  return false;
}

bool DisplayUsableAfterFault() { return !FramesInDisplayLibrary(CurrentFaultFrames()); }

}  // namespace plat
