// A full disk for the test's own process: files cannot grow past the limit while this lives (writes
// beyond it fail with EFBIG instead of raising SIGXFSZ). Works for root too, unlike permissions.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace testsupport {

class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &mPrevious);
    mPreviousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = mPrevious;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &mPrevious);
    signal(SIGXFSZ, mPreviousHandler);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit mPrevious{};
  sighandler_t mPreviousHandler = SIG_DFL;
};

}  // namespace testsupport
