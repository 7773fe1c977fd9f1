#include "platform/win/files/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/win/files/Descriptor.h"

namespace plat {
namespace {

bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

// Opened without waiting (a pipe without a writer would block the open), then checked to be a regular
// file and put back into blocking reads; `size` is the size it says it has. -1 with errno set otherwise.
int OpenRegularFile(const std::string& realPath, off_t* size = nullptr) {
  Descriptor fd(::open(realPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) return -1;
  struct stat info;
  if (::fstat(fd.Get(), &info) != 0) return -1;
  if (size) *size = info.st_size;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return -1;
  return fd.Release();
}

// No bytes at all for a file that could not be read whole, and the reason in errno.
template <typename Bytes>
FileReadResult Unreadable(Bytes* bytes, int error) {
  bytes->clear();
  bytes->shrink_to_fit();
  errno = error;
  return FileReadResult::kUnreadable;
}

// The size a file says it has is only a hint (files of /proc say 0): the bytes are read to the end. A
// size beyond the limit is believed, so that such a file is refused without being read.
template <typename Bytes>
FileReadResult ReadAll(const std::string& realPath, Bytes* bytes, std::size_t maxBytes) {
  bytes->clear();
  off_t size = 0;
  Descriptor fd(OpenRegularFile(realPath, &size));
  if (fd.Get() < 0) return IsMissing(errno) ? FileReadResult::kMissing : FileReadResult::kUnreadable;
  if (static_cast<std::uintmax_t>(size) > maxBytes) return Unreadable(bytes, EFBIG);
  constexpr std::size_t kChunk = 65536;
  bytes->reserve(static_cast<std::size_t>(size) + kChunk);
  for (;;) {
    const std::size_t used = bytes->size();
    bytes->resize(used + kChunk);
    const ssize_t got = ::read(fd.Get(), bytes->data() + used, kChunk);
    if (got < 0 && errno == EINTR) {
      bytes->resize(used);
      continue;
    }
    if (got < 0) return Unreadable(bytes, errno);
    if (used + static_cast<std::size_t>(got) > maxBytes) return Unreadable(bytes, EFBIG);
    bytes->resize(used + static_cast<std::size_t>(got));
    if (got == 0) return FileReadResult::kRead;
  }
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& realPath, std::string* bytes, std::size_t maxBytes) {
  return ReadAll(realPath, bytes, maxBytes);
}

FileReadResult ReadWholeFile(const std::string& realPath, std::vector<std::uint8_t>* bytes, std::size_t maxBytes) {
  return ReadAll(realPath, bytes, maxBytes);
}

bool AnythingAt(const std::string& realPath) {
  struct stat info;
  return ::lstat(realPath.c_str(), &info) == 0;
}

FilePtr OpenFileForReading(const std::string& realPath) {
  Descriptor fd(OpenRegularFile(realPath));
  if (fd.Get() < 0) return nullptr;
  FilePtr file(::fdopen(fd.Get(), "rb"));
  if (file) fd.Release();
  return file;
}

}  // namespace plat
