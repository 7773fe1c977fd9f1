// Whether the display connection can still be used after a fault: not when the fault interrupted its
// client library on the handling thread, which then holds the connection's locks for ever and may have
// left a request half sent.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/win/crash/Exceptions.h"

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

// Reads a hexadecimal number at `*at` and moves past it.
std::uintptr_t ReadHex(const char** at) {
  std::uintptr_t value = 0;
  for (;; ++*at) {
    const char c = **at;
    if (c >= '0' && c <= '9')
      value = value * 16 + static_cast<std::uintptr_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      value = value * 16 + static_cast<std::uintptr_t>(c - 'a' + 10);
    else
      return value;
  }
}

// One line of the memory map ("start-end perms offset device inode path"): whether it is code of a
// display library that holds one of the frames.
bool CodeOfDisplayLibraryHolds(const char* line, const plat::FaultFrames& frames) {
  const char* at = line;
  const std::uintptr_t start = ReadHex(&at);
  if (*at++ != '-') return false;
  const std::uintptr_t end = ReadHex(&at);
  if (*at++ != ' ' || std::strlen(at) < 4 || at[2] != 'x' || !IsDisplayLibrary(at)) return false;
  // A caller's frame holds its return address: the call lies one byte before it.
  for (int i = 0; i < frames.count; ++i) {
    const std::uintptr_t pc = i == 0 ? frames.pc[i] : frames.pc[i] - 1;
    if (pc >= start && pc < end) return true;
  }
  return false;
}

}  // namespace

namespace plat {

bool FramesInDisplayLibrary(const FaultFrames& frames) {
  const int file = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char chunk[4096];
  char line[512];  // a longer line is cut: only its path's end could be lost
  std::size_t length = 0;
  bool found = false;
  for (ssize_t got = 0; !found && (got = ::read(file, chunk, sizeof(chunk))) > 0;) {
    for (ssize_t i = 0; i < got && !found; ++i) {
      if (chunk[i] != '\n') {
        if (length < sizeof(line) - 1) line[length++] = chunk[i];
        continue;
      }
      line[length] = '\0';
      length = 0;
      found = CodeOfDisplayLibraryHolds(line, frames);
    }
  }
  ::close(file);
  return found;
}

bool DisplayUsableAfterFault() { return !FramesInDisplayLibrary(CurrentFaultFrames()); }

}  // namespace plat
