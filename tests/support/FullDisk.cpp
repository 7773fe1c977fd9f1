#include "tests/support/FullDisk.h"

namespace testsupport {

ScopedFullDisk::ScopedFullDisk(std::size_t bytesThatFit) {
  getrlimit(RLIMIT_FSIZE, &mPrevious);
  rlimit full = mPrevious;
  full.rlim_cur = bytesThatFit;
  mPreviousHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &full);
}

ScopedFullDisk::~ScopedFullDisk() {
  setrlimit(RLIMIT_FSIZE, &mPrevious);
  signal(SIGXFSZ, mPreviousHandler);
}

}  // namespace testsupport
