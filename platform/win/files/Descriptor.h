// A file descriptor closed at the end of its scope, or when another takes its place. Any thread; one
// object per owner.
#pragma once

#include <unistd.h>

#include <utility>

namespace plat {

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : mFd(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : mFd(other.Release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    Reset(other.Release());
    return *this;
  }

  [[nodiscard]] int Get() const { return mFd; }
  [[nodiscard]] bool IsOpen() const { return mFd >= 0; }
  int Release() { return std::exchange(mFd, -1); }
  // Closes the one held and holds fd instead.
  void Reset(int fd) {
    if (mFd >= 0) ::close(mFd);
    mFd = fd;
  }
  void Close() { Reset(-1); }

 private:
  int mFd = -1;
};

}  // namespace plat
