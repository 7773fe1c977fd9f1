// A disk with little space left, as the process's own writes meet it: while a ScopedFullDisk lives no
// file can grow past the given size, so a write that would make one larger fails (EFBIG; SIGXFSZ is
// ignored meanwhile) and smaller files are written as usual, as when a file of that size still fits
// and a larger one does not. Works for root too, unlike permissions. Process-wide: a test that uses it
// writes files from one thread only.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace testsupport {

class ScopedFullDisk {
 public:
  explicit ScopedFullDisk(std::size_t bytesThatFit);
  ~ScopedFullDisk();
  ScopedFullDisk(const ScopedFullDisk&) = delete;
  ScopedFullDisk& operator=(const ScopedFullDisk&) = delete;

 private:
  rlimit mPrevious{};
  sighandler_t mPreviousHandler = SIG_DFL;
};

}  // namespace testsupport
