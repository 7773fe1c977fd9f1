// A disk with little space left, as the process's own writes meet it: while a ScopedFullDisk lives no
// file grows past the given size (the write fails with EFBIG; SIGXFSZ is ignored meanwhile). Works for
// root too. Process-wide: the test writes files from one thread only.
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
