// An exclusive lock between processes on a lock file (created when missing), held for the object's
// lifetime. Copies of the program that write the same files take it around each read and write, so
// one copy never sees or leaves the other's half-done work. The lock goes with the process: a copy
// killed while holding it frees it at once, whatever children it forked. A link at the lock file's
// name is not followed (no lock then). Any thread; one object per holder.
#pragma once

#include <string_view>

namespace plat {

class FileLock {
 public:
  // Waits up to timeoutMs (real time) for the lock on the program path's file.
  [[nodiscard]] FileLock(std::string_view programPath, int timeoutMs);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // False when the file could not be opened or another holder kept the lock past the timeout.
  [[nodiscard]] bool Held() const { return mHeld; }

 private:
  int mDescriptor = -1;
  bool mHeld = false;
};

}  // namespace plat
