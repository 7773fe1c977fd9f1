// A file descriptor closed at the end of its scope. Any thread; one object per owner.
#pragma once

#include <unistd.h>

#include <utility>

namespace plat {

class Descriptor {
 public:
  explicit Descriptor(int fd) : mFd(fd) {}
  ~Descriptor() {
    if (mFd >= 0) ::close(mFd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  [[nodiscard]] int Get() const { return mFd; }
  int Release() { return std::exchange(mFd, -1); }
  // Closes the one held and holds fd instead.
  void Reset(int fd) {
    if (mFd >= 0) ::close(mFd);
    mFd = fd;
  }

 private:
  int mFd;
};

}  // namespace plat
