#include "platform/win/files/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/win/files/PathMap.h"
#include "platform/win/process/ForkedChildren.h"

namespace plat {

namespace {

constexpr auto kRetryPause = std::chrono::milliseconds(5);

}  // namespace

FileLock::FileLock(std::string_view programPath, int timeoutMs) {
  const std::string path = MapPath(programPath);
  // Never through a link: one standing at the lock file's name is no lock file. Withheld from forked
  // children, so that the lock ends with this process.
  mDescriptor = OpenWithheldFromChildren(AT_FDCWD, path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
  if (mDescriptor < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    if (::flock(mDescriptor, LOCK_EX | LOCK_NB) == 0) {
      mHeld = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= deadline) return;
    std::this_thread::sleep_for(kRetryPause);
  }
}

FileLock::~FileLock() {
  // Closing the last descriptor of the open file also ends the lock.
  if (mDescriptor >= 0) CloseWithheld(mDescriptor);
}

}  // namespace plat
