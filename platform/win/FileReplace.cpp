#include "platform/win/FileReplace.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>

namespace plat {
namespace {

std::string TemporaryPrefix(const std::filesystem::path& target) { return target.filename().string() + ".tmp"; }

// The process id in a temporary's name: the digits after the prefix, up to '-' or the end.
bool OwnerOf(std::string_view name, std::string_view prefix, pid_t* owner) {
  if (name.substr(0, prefix.size()) != prefix) return false;
  name.remove_prefix(prefix.size());
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), *owner);
  return error == std::errc() && end != name.data() && *owner > 0 && (end == name.data() + name.size() || *end == '-');
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the name is one ReplaceFileContents gives its temporaries: a file's name, ".tmp", the
// process id, '-' and a number.
bool IsTemporaryName(std::string_view name) {
  const std::size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp == 0) return false;
  const std::string_view numbers = name.substr(tmp + 4);
  const std::size_t dash = numbers.find('-');
  return dash != std::string_view::npos && AllDigits(numbers.substr(0, dash)) && AllDigits(numbers.substr(dash + 1));
}

bool IsRunning(pid_t process) { return ::kill(process, 0) == 0 || errno == EPERM; }

bool WriteAll(int fd, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& realPath, std::string_view bytes) {
  static std::atomic<unsigned> writes{0};
  const std::string temporary =
      realPath + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(writes.fetch_add(1));
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), realPath.c_str()) == 0) {
    // The rename itself must reach the disk for the new contents to survive a power cut.
    const std::filesystem::path folder = std::filesystem::path(realPath).parent_path();
    const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
      ::fsync(folderFd);
      ::close(folderFd);
    }
    return true;
  }
  if (ok) error = errno;
  ::unlink(temporary.c_str());
  errno = error;
  return false;
}

void RemoveStaleTemporaries(const std::string& realPath) {
  const std::filesystem::path target(realPath);
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  const std::string prefix = TemporaryPrefix(target);
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    pid_t owner = 0;
    std::error_code removeError;
    if (OwnerOf(it->path().filename().string(), prefix, &owner) && !IsRunning(owner))
      std::filesystem::remove(it->path(), removeError);
  }
}

void RemoveAllTemporaries(const std::string& realFolder) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(realFolder, error), end; !error && it != end; it.increment(error)) {
    std::error_code entryError;
    if (IsTemporaryName(it->path().filename().string()) && it->is_regular_file(entryError) &&
        !it->is_symlink(entryError))
      std::filesystem::remove(it->path(), entryError);
  }
}

}  // namespace plat
