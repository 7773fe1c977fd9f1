#include "platform/win/files/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/win/files/Descriptor.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/Ownership.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/process/ForkedChildren.h"

namespace plat {

namespace {

constexpr auto kRetryPause = std::chrono::milliseconds(5);

// The lock file at the real path, made when missing (then owned as Ownership says, so that a run as root
// leaves the player a lock file of their own). Never through a link: one standing at the lock file's name
// is no lock file. Withheld from forked children, so that the lock ends with this process. -1, with errno
// set, when it cannot be opened.
int OpenLockFile(const std::string& path) {
  std::string name;
  const Descriptor folder(OpenFolderOf(path, &name));
  if (folder.Get() < 0) return -1;
  const int fd = OpenOrMakeFile(folder.Get(), name.c_str(), O_RDWR | O_NOFOLLOW, 0644, OpenWithheldFromChildren);
  if (fd >= 0 || errno != EACCES) return fd;
  // A lock needs no write access: one that another user left (an earlier run as root, say) is still taken,
  // read-only.
  const int readOnly = OpenWithheldFromChildren(folder.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW, 0);
  if (readOnly < 0) errno = EACCES;
  return readOnly;
}

}  // namespace

FileLock::FileLock(std::string_view programPath, int timeoutMs) {
  mDescriptor = OpenLockFile(MapPath(programPath));
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
