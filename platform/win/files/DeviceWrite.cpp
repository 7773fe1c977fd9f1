#include "platform/win/files/DeviceWrite.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/win/threads/Time.h"

namespace plat {
namespace {

constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// SIGPIPE is held back from this thread while one lives, and one that a write raised meanwhile is taken
// and dropped: a reader that left gives the write EPIPE instead of ending the process.
class PipeSignalHeldBack {
 public:
  PipeSignalHeldBack() {
    sigemptyset(&mPipe);
    sigaddset(&mPipe, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    ::sigpending(&pending);
    mWasPending = sigismember(&pending, SIGPIPE) == 1;
    ::pthread_sigmask(SIG_BLOCK, &mPipe, &mPrevious);
  }
  ~PipeSignalHeldBack() {
    const int error = errno;
    if (!mWasPending) {
      const timespec noWait{};
      while (::sigtimedwait(&mPipe, nullptr, &noWait) < 0 && errno == EINTR) {
      }
    }
    ::pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr);
    errno = error;
  }
  PipeSignalHeldBack(const PipeSignalHeldBack&) = delete;
  PipeSignalHeldBack& operator=(const PipeSignalHeldBack&) = delete;

 private:
  sigset_t mPipe;
  sigset_t mPrevious;
  bool mWasPending = false;
};

// Pipes that CanWriteIntoDevice found a reader on, held open until they are written, so that a reader there
// already sees no end of file before the bytes come. What is never written closes with the process.
class HeldPipes {
 public:
  void Hold(const std::string& path, int fd) {
    const std::lock_guard guard(mLock);
    const auto [held, added] = mHeld.emplace(path, fd);
    if (added) return;
    ::close(held->second);
    held->second = fd;
  }
  // The descriptor held for the path, now the caller's; -1 when none is.
  int Take(const std::string& path) {
    const std::lock_guard guard(mLock);
    const auto held = mHeld.find(path);
    if (held == mHeld.end()) return -1;
    const int fd = held->second;
    mHeld.erase(held);
    return fd;
  }

 private:
  std::mutex mLock;
  std::map<std::string, int> mHeld;
};

// Never destroyed: writers run from the exit handlers too (the leak report).
HeldPipes& HeldPipesOfProcess() {
  static HeldPipes* const pipes = new HeldPipes;
  return *pipes;
}

// Writes on a descriptor that never blocks, waiting between writes while the reader takes bytes, until
// kDeviceWriteLimitMs of the program clock have passed since the first: a reader that takes a little now
// and then does not hold the writer longer than one that takes nothing.
bool WriteAllWithinLimit(int fd, std::string_view bytes) {
  Clock& clock = CurrentClock();
  const std::uint64_t deadline = clock.NowMicros() + std::uint64_t{kDeviceWriteLimitMs} * 1000;
  for (std::size_t done = 0; done < bytes.size();) {
    const std::uint64_t now = clock.NowMicros();
    if (now >= deadline) {
      errno = EAGAIN;
      return false;
    }
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EAGAIN) {
      pollfd room{fd, POLLOUT, 0};
      const int ready = ::poll(&room, 1, static_cast<int>((deadline - now + 999) / 1000));
      if (ready == 0) errno = EAGAIN;
      if (ready == 0 || (ready < 0 && errno != EINTR)) return false;
    } else if (written == 0 || errno != EINTR) {
      if (written == 0) errno = EIO;
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsWrittenInto(mode_t mode) { return S_ISCHR(mode) || S_ISFIFO(mode); }

bool WriteIntoDevice(const std::string& realPath, std::string_view bytes) {
  const PipeSignalHeldBack heldBack;
  const int held = HeldPipesOfProcess().Take(realPath);
  const int fd = held >= 0 ? held : ::open(realPath.c_str(), kOpenFlags);
  if (fd < 0) return false;
  const bool ok = WriteAllWithinLimit(fd, bytes);
  const int error = errno;
  if (::close(fd) != 0 && ok) return false;
  errno = error;
  return ok;
}

bool CanWriteIntoDevice(const std::string& realPath) {
  const int fd = ::open(realPath.c_str(), kOpenFlags);
  if (fd < 0) return false;
  struct stat opened {};
  if (::fstat(fd, &opened) == 0 && S_ISFIFO(opened.st_mode))
    HeldPipesOfProcess().Hold(realPath, fd);
  else
    ::close(fd);
  return true;
}

}  // namespace plat
