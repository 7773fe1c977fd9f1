// For a scope, the calling thread is held by file permissions as a player is: a test run as root loses
// root's power to pass them by (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER) and gets it back at
// the end, so a folder the player made read-only stops it too. Capabilities belong to a thread: the
// others keep theirs. Without root it changes nothing.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

class ScopedPlayerPermissions {
 public:
  ScopedPlayerPermissions() {
    if (::syscall(SYS_capget, &mHeader, mGiven) != 0) return;
    __user_cap_data_struct held[2] = {mGiven[0], mGiven[1]};
    held[0].effective &= ~(CAP_TO_MASK(CAP_DAC_OVERRIDE) | CAP_TO_MASK(CAP_DAC_READ_SEARCH) | CAP_TO_MASK(CAP_FOWNER));
    mChanged = ::syscall(SYS_capset, &mHeader, held) == 0;
  }
  ~ScopedPlayerPermissions() {
    if (mChanged) ::syscall(SYS_capset, &mHeader, mGiven);
  }
  ScopedPlayerPermissions(const ScopedPlayerPermissions&) = delete;
  ScopedPlayerPermissions& operator=(const ScopedPlayerPermissions&) = delete;

 private:
  __user_cap_header_struct mHeader{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct mGiven[2]{};
  bool mChanged = false;
};

}  // namespace testsupport
